// Colour codes as typed or pasted: reading them, and their round trip with the written form.
#include "fuzzcheck.h"
#include "preview/colorcode.h"
#include "preview/web216.h"

#include <cstring>

using namespace tintara;

namespace {

bool isUpperHexCode(const QString& text)
{
    if (text.size() != 7 || text.front() != u'#')
        return false;
    for (int i = 1; i < 7; ++i) {
        const QChar c = text.at(i);
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::textOf(data, size);
    leadingHexValue(text);

    const std::optional<Rgb> code = parseColorCode(text);
    FUZZ_CHECK(code.has_value() == (text.size() == 7 && text.front() == u'#'));
    if (code) {
        for (const int channel : *code) {
            FUZZ_CHECK(channel >= 0 && channel <= 255);
            const int rounded = roundToWebSafe(channel);
            FUZZ_CHECK(rounded % kWebSafeStep == 0 && std::abs(rounded - channel) <= 25);
        }
        const QString written = colorCode(*code);
        FUZZ_CHECK(isUpperHexCode(written));
        FUZZ_CHECK(parseColorCode(written) == code);
        if (isUpperHexCode(text.toUpper()))
            FUZZ_CHECK(written == text.toUpper());
    }

    // Any 32-bit value survives being written in hexadecimal and read back.
    if (size >= sizeof(qint32)) {
        qint32 value = 0;
        std::memcpy(&value, data, sizeof value);
        const QString hex = hex2(value);
        FUZZ_CHECK(hex.size() >= 2 && hex.size() <= 8);
        FUZZ_CHECK(leadingHexValue(hex) == value);
    }
    return 0;
}
