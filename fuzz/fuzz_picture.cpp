// Any bytes as a picture file, read by the program's own loader.
#include "fuzzcheck.h"
#include "tools/backgroundpicture.h"

#include <QBuffer>
#include <QCoreApplication>

using namespace tintara;

namespace {

// Qt reports every broken picture on the error output; the run would print little else.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qInstallMessageHandler(quiet);
    // Picture formats other than bitmaps and PNG come as plug-ins, found through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PictureFile read = readPicture(buffer);
    const QImage& picture = read.image;
    // A picture, or a reason why there is none.
    FUZZ_CHECK(picture.isNull() != read.problem.isEmpty());
    if (!picture.isNull()) {
        FUZZ_CHECK(picture.width() > 0 && picture.height() > 0);
        FUZZ_CHECK(qint64(picture.width()) * picture.height() <=
                   qint64(kPictureMegapixelLimit) * 1'000'000);
        FUZZ_CHECK(picture.sizeInBytes() <= qsizetype(kPictureAllocationLimitMB) * 1024 * 1024);
        // The preview tiles it: every pixel must be there to read.
        (void)picture.pixel(picture.width() - 1, picture.height() - 1);
    }
    return 0;
}
