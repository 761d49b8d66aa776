#include "color/csscolor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tintara {

namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

constexpr double kPi = 3.14159265358979323846;
// CSS lets an implementation hold numbers within limits of its own; this keeps every conversion
// below finite.
constexpr double kNumberLimit = 1e6;
// Float noise from converting an sRGB colour through another space is no way out of sRGB.
constexpr double kGamutEpsilon = 1e-6;
// The mapping's just-noticeable difference in deltaEOK, and its search's precision in chroma.
constexpr double kJnd = 0.02;
constexpr double kChromaEpsilon = 0.0001;
// Reasons quote at most this much of what was pasted.
constexpr int kQuoteLimit = 16;

struct NamedColor
{
    const char* name;
    std::uint32_t rgb;
};

// Sorted by name for the binary search.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xADFF2F},
    {"grey", 0x808080},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080},
    {"oldlace", 0xFDF5E6},
    {"olive", 0x808000},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"teal", 0x008080},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"transparent", 0x000000},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};

// --- colour spaces ---------------------------------------------------------------------------

Vec3 operator*(const Mat3& m, const Vec3& v)
{
    Vec3 out{};
    for (int i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

Mat3 operator*(const Mat3& a, const Mat3& b)
{
    Mat3 out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return out;
}

Mat3 inverse(const Mat3& m)
{
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    return {{{c00 / det, (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det,
              (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det},
             {c01 / det, (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det,
              (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det},
             {c02 / det, (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det,
              (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det}}};
}

// The matrices of CSS Color 4, with the inverses worked out once.
struct Matrices
{
    Mat3 linearSrgbToXyz{{{506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
                          {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
                          {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270}}};
    Mat3 linearP3ToXyz{{{608311.0 / 1250200, 189793.0 / 714400, 198249.0 / 1000160},
                        {35783.0 / 156275, 247089.0 / 357200, 198249.0 / 2500400},
                        {0.0, 32229.0 / 714400, 5220557.0 / 5000800}}};
    // Bradford chromatic adaptation.
    Mat3 d50ToD65{{{0.955473421488075, -0.02309845494876471, 0.06325924320057072},
                   {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
                   {0.012314014864481998, -0.020507649298898964, 1.330365926242124}}};
    Mat3 xyzToLms{{{0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
                   {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
                   {0.0481771893596242, 0.2642395317527308, 0.6335478284694309}}};
    Mat3 lmsToOklab{{{0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
                     {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
                     {0.0259040424655478, 0.7827717124575296, -0.8086757549230774}}};
    Mat3 xyzToLinearSrgb = inverse(linearSrgbToXyz);
    Mat3 linearSrgbToLms = xyzToLms * linearSrgbToXyz;
    Mat3 lmsToLinearSrgb = inverse(linearSrgbToLms);
    Mat3 oklabToLms = inverse(lmsToOklab);
};

const Matrices& matrices()
{
    static const Matrices m;
    return m;
}

// The sRGB transfer curve, also used by Display P3, extended to negative values by symmetry.
double toLinear(double value)
{
    const double size = std::fabs(value);
    const double linear = size <= 0.04045 ? size / 12.92 : std::pow((size + 0.055) / 1.055, 2.4);
    return std::copysign(linear, value);
}

double toGamma(double value)
{
    const double size = std::fabs(value);
    const double gamma = size <= 0.0031308 ? size * 12.92 : 1.055 * std::pow(size, 1 / 2.4) - 0.055;
    return std::copysign(gamma, value);
}

Vec3 applyToEach(Vec3 v, double (*f)(double))
{
    for (double& c : v)
        c = f(c);
    return v;
}

Vec3 labToXyzD50(const Vec3& lab)
{
    constexpr double kappa = 24389.0 / 27;
    constexpr double epsilon = 216.0 / 24389;
    const Vec3 white{0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};
    const double f1 = (lab[0] + 16) / 116;
    const double f0 = lab[1] / 500 + f1;
    const double f2 = f1 - lab[2] / 200;
    const double x = f0 * f0 * f0 > epsilon ? f0 * f0 * f0 : (116 * f0 - 16) / kappa;
    const double y = lab[0] > kappa * epsilon ? f1 * f1 * f1 : lab[0] / kappa;
    const double z = f2 * f2 * f2 > epsilon ? f2 * f2 * f2 : (116 * f2 - 16) / kappa;
    return {x * white[0], y * white[1], z * white[2]};
}

Vec3 polarToCartesian(const Vec3& lch)
{
    const double hue = lch[2] * kPi / 180;
    return {lch[0], lch[1] * std::cos(hue), lch[1] * std::sin(hue)};
}

Vec3 oklabToLinearSrgb(const Vec3& lab)
{
    Vec3 lms = matrices().oklabToLms * lab;
    for (double& c : lms)
        c = c * c * c;
    return matrices().lmsToLinearSrgb * lms;
}

Vec3 linearSrgbToOklab(const Vec3& rgb)
{
    Vec3 lms = matrices().linearSrgbToLms * rgb;
    for (double& c : lms)
        c = std::cbrt(c);
    return matrices().lmsToOklab * lms;
}

enum class Space { Srgb, SrgbLinear, DisplayP3, XyzD50, XyzD65, Lab, Lch, Oklab, Oklch };

// A colour as written, before it is brought into sRGB.
struct Origin
{
    Space space = Space::Srgb;
    Vec3 coords{};
};

Vec3 toLinearSrgb(const Origin& origin)
{
    const Matrices& m = matrices();
    const Vec3& c = origin.coords;
    switch (origin.space) {
    case Space::Srgb:
        return applyToEach(c, toLinear);
    case Space::SrgbLinear:
        return c;
    case Space::DisplayP3:
        return m.xyzToLinearSrgb * (m.linearP3ToXyz * applyToEach(c, toLinear));
    case Space::XyzD65:
        return m.xyzToLinearSrgb * c;
    case Space::XyzD50:
        return m.xyzToLinearSrgb * (m.d50ToD65 * c);
    case Space::Lab:
        return m.xyzToLinearSrgb * (m.d50ToD65 * labToXyzD50(c));
    case Space::Lch:
        return m.xyzToLinearSrgb * (m.d50ToD65 * labToXyzD50(polarToCartesian(c)));
    case Space::Oklab:
        return oklabToLinearSrgb(c);
    case Space::Oklch:
        return oklabToLinearSrgb(polarToCartesian(c));
    }
    return {};
}

Vec3 toOklab(const Origin& origin)
{
    if (origin.space == Space::Oklab)
        return origin.coords;
    if (origin.space == Space::Oklch)
        return polarToCartesian(origin.coords);
    return linearSrgbToOklab(toLinearSrgb(origin));
}

bool inSrgb(const Vec3& rgb)
{
    return std::all_of(rgb.begin(), rgb.end(),
                       [](double c) { return c >= -kGamutEpsilon && c <= 1 + kGamutEpsilon; });
}

Vec3 clipped(Vec3 rgb)
{
    for (double& c : rgb)
        c = std::clamp(c, 0.0, 1.0);
    return rgb;
}

double deltaEOk(const Vec3& a, const Vec3& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// CSS Color 4's gamut mapping into sRGB: lower the OKLCh chroma, at the same lightness and hue,
// until clipping what is left moves the colour by less than a just-noticeable difference.
Vec3 mappedIntoSrgb(const Vec3& oklab)
{
    if (oklab[0] >= 1)
        return {1, 1, 1};
    if (oklab[0] <= 0)
        return {0, 0, 0};
    const double hue = std::atan2(oklab[2], oklab[1]);
    const auto withChroma = [&](double chroma) {
        return Vec3{oklab[0], chroma * std::cos(hue), chroma * std::sin(hue)};
    };
    const auto clip = [](const Vec3& lab) {
        return clipped(applyToEach(oklabToLinearSrgb(lab), toGamma));
    };
    const auto delta = [](const Vec3& rgb, const Vec3& lab) {
        return deltaEOk(linearSrgbToOklab(applyToEach(rgb, toLinear)), lab);
    };
    Vec3 current = oklab;
    Vec3 result = clip(current);
    if (delta(result, current) < kJnd)
        return result;
    double low = 0;
    double high = std::hypot(oklab[1], oklab[2]);
    bool lowInGamut = true;
    while (high - low > kChromaEpsilon) {
        const double chroma = (low + high) / 2;
        current = withChroma(chroma);
        const Vec3 rgb = applyToEach(oklabToLinearSrgb(current), toGamma);
        if (lowInGamut && inSrgb(rgb)) {
            low = chroma;
            continue;
        }
        result = clipped(rgb);
        const double e = delta(result, current);
        if (e < kJnd) {
            if (kJnd - e < kChromaEpsilon)
                return result;
            lowInGamut = false;
            low = chroma;
        } else {
            high = chroma;
        }
    }
    return result;
}

int toChannel(double value)
{
    if (!std::isfinite(value))
        return 0;
    return int(std::lround(std::clamp(value, 0.0, 1.0) * kChannelMax));
}

CssColor finished(const Origin& origin, double alpha)
{
    CssColor color;
    color.alpha = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 0.0;
    Vec3 rgb =
        origin.space == Space::Srgb ? origin.coords : applyToEach(toLinearSrgb(origin), toGamma);
    const Vec3 oklab = toOklab(origin);
    const bool inside = inSrgb(rgb);
    color.mapped = !inside;
    if (oklab[0] >= 1)
        rgb = {1, 1, 1};
    else if (oklab[0] <= 0)
        rgb = {0, 0, 0};
    else if (!inside)
        rgb = mappedIntoSrgb(oklab);
    for (int i = 0; i < 3; ++i)
        color.rgb[i] = toChannel(rgb[i]);
    return color;
}

Vec3 hslToSrgb(double hue, double saturation, double lightness)
{
    const auto f = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12);
        const double a = saturation * std::min(lightness, 1 - lightness);
        return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {f(0), f(8), f(4)};
}

// --- reading ---------------------------------------------------------------------------------

const QString kNoColor = QStringLiteral("色として読めません");
const QString kNoCloseParen = QStringLiteral("閉じかっこがありません");
const QString kTooMany = QStringLiteral("値が多すぎます");
const QString kTooFew = QStringLiteral("値が足りません");
const QString kCommas = QStringLiteral("カンマの使い方が違います");
const QString kSlash = QStringLiteral("/ の使い方が違います");
const QString kAfterColor = QStringLiteral("色の後に余計な文字があります");

QString quoted(QStringView text)
{
    if (text.size() <= kQuoteLimit)
        return text.toString();
    return text.left(kQuoteLimit).toString() + u'…';
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
}

// CSS folds the case of ASCII letters only: the Kelvin sign is no "k".
bool sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](QChar x, QChar y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// Comments become one blank, as CSS reads them; an unclosed one runs to the end.
QString withoutComments(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            i = end < 0 ? text.size() : end + 2;
            out += u' ';
        } else {
            out += text[i++];
        }
    }
    return out;
}

struct Component
{
    enum Kind { Number = 1, Percent = 2, Angle = 4, None = 8 };
    Kind kind = None;
    // The number, the percentage as written, or the angle in degrees.
    double value = 0;
    QStringView text;
};

struct Arguments
{
    std::vector<Component> values;
    std::optional<Component> alpha;
    bool legacy = false;
};

class Parser
{
public:
    explicit Parser(QStringView text)
        : m_text(text)
    {
    }

    CssColorRead read()
    {
        CssColorRead result;
        skipSpace();
        if (atEnd()) {
            result.problem = QStringLiteral("空です");
            return result;
        }
        std::optional<CssColor> color = readValue();
        skipSpace();
        if (color && !atEnd())
            color = fail(kAfterColor);
        if (color)
            result.color = color;
        else
            result.problem = m_problem.isEmpty() ? kNoColor : m_problem;
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }
    void skipSpace()
    {
        while (!atEnd() && isSpace(peek()))
            ++m_pos;
    }
    QStringView readName()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && isNameChar(peek()))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }
    // What a reason quotes of a value that cannot be read: up to the next separator.
    QStringView wordAt(qsizetype start) const
    {
        qsizetype end = start;
        while (end < m_text.size() && !isSpace(m_text[end]) && m_text[end] != u',' &&
               m_text[end] != u'/' && m_text[end] != u')')
            ++end;
        return m_text.mid(start, std::max<qsizetype>(end - start, 1));
    }

    std::nullopt_t fail(const QString& problem)
    {
        if (m_problem.isEmpty())
            m_problem = problem;
        return std::nullopt;
    }

    std::optional<CssColor> readValue()
    {
        if (peek() == u'#')
            return readHex();
        const QStringView name = readName();
        if (name.isEmpty())
            return std::nullopt;
        if (peek() == u'(') {
            ++m_pos;
            return readFunction(name);
        }
        return named(name);
    }

    std::optional<CssColor> readHex()
    {
        const qsizetype start = m_pos++;
        const QStringView digits = readName();
        if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
            return fail(QStringLiteral("16進数として読めません: ") +
                        quoted(m_text.mid(start, m_pos - start)));
        const qsizetype n = digits.size();
        if (n != 3 && n != 4 && n != 6 && n != 8)
            return fail(QStringLiteral("16進の桁数が違います: ") +
                        quoted(m_text.mid(start, m_pos - start)));
        const int width = n <= 4 ? 1 : 2;
        int values[4] = {0, 0, 0, kChannelMax};
        for (int i = 0; i < n / width; ++i) {
            const int v = digits.mid(i * width, width).toInt(nullptr, 16);
            values[i] = width == 1 ? v * 17 : v;
        }
        CssColor color;
        color.rgb = {values[0], values[1], values[2]};
        color.alpha = values[3] / double(kChannelMax);
        return color;
    }

    std::optional<CssColor> named(QStringView name)
    {
        if (sameName(name, u"currentcolor"))
            return fail(QStringLiteral("currentcolor は決まった色ではありません"));
        std::string key;
        for (const QChar c : name)
            key += char(asciiLower(c) < 0x80 ? asciiLower(c) : 0);
        const auto found = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), key,
                                            [](const NamedColor& entry, const std::string& k) {
                                                return k.compare(entry.name) > 0;
                                            });
        if (found == std::end(kNamedColors) || key != found->name)
            return fail(QStringLiteral("名前のない色です: ") + quoted(name));
        CssColor color;
        color.rgb = {int(found->rgb >> 16), int((found->rgb >> 8) & 0xFF), int(found->rgb & 0xFF)};
        color.alpha = std::strcmp(found->name, "transparent") == 0 ? 0 : 1;
        return color;
    }

    std::optional<CssColor> readFunction(QStringView name)
    {
        const auto is = [&](QStringView word) { return sameName(name, word); };
        if (is(u"rgb") || is(u"rgba"))
            return rgbFunction();
        if (is(u"hsl") || is(u"hsla"))
            return hslFunction();
        if (is(u"hwb"))
            return hwbFunction();
        if (is(u"lab") || is(u"oklab"))
            return labFunction(is(u"oklab") ? Space::Oklab : Space::Lab);
        if (is(u"lch") || is(u"oklch"))
            return labFunction(is(u"oklch") ? Space::Oklch : Space::Lch);
        if (is(u"color"))
            return colorFunction();
        return fail(QStringLiteral("読めない関数です: ") + quoted(name) + QStringLiteral("()"));
    }

    // A number with its unit, or none.
    std::optional<Component> readComponent()
    {
        const qsizetype start = m_pos;
        Component c;
        if (isNameChar(peek()) && !isDigit(peek()) && peek() != u'-') {
            const QStringView name = readName();
            if (peek() == u'(')
                return fail(QStringLiteral("読めない値です: ") + quoted(name) +
                            QStringLiteral("()"));
            if (!sameName(name, u"none"))
                return fail(QStringLiteral("読めない値です: ") + quoted(name));
            c.text = name;
            return c;
        }
        if (!readNumber(c.value))
            return fail(QStringLiteral("読めない値です: ") + quoted(wordAt(start)));
        c.kind = Component::Number;
        if (peek() == u'%') {
            ++m_pos;
            c.kind = Component::Percent;
        } else if (peek().isLetter()) {
            // "1-2" is two numbers, as CSS reads it; a unit starts with a letter.
            const QStringView unit = readName();
            const std::pair<const char16_t*, double> degreesPer[] = {
                {u"deg", 1}, {u"grad", 0.9}, {u"rad", 180 / kPi}, {u"turn", 360}};
            const auto angle = std::find_if(std::begin(degreesPer), std::end(degreesPer),
                                            [&](const auto& a) { return sameName(unit, a.first); });
            if (angle == std::end(degreesPer))
                return fail(QStringLiteral("読めない値です: ") + quoted(wordAt(start)));
            c.kind = Component::Angle;
            c.value *= angle->second;
        }
        c.text = m_text.mid(start, m_pos - start);
        return c;
    }

    // A CSS number: an optional sign, digits with an optional fraction, an optional exponent.
    bool readNumber(double& value)
    {
        std::string number;
        bool negative = false;
        if (peek() == u'+' || peek() == u'-') {
            negative = peek() == u'-';
            ++m_pos;
        }
        bool digits = false;
        while (isDigit(peek())) {
            number += char(peek().unicode());
            ++m_pos;
            digits = true;
        }
        if (peek() == u'.' && isDigit(peek(1))) {
            number += '.';
            ++m_pos;
            while (isDigit(peek())) {
                number += char(peek().unicode());
                ++m_pos;
            }
            digits = true;
        }
        if (!digits)
            return false;
        bool tinyExponent = false;
        const bool signedExponent = peek(1) == u'+' || peek(1) == u'-';
        if ((peek() == u'e' || peek() == u'E') && isDigit(peek(signedExponent ? 2 : 1))) {
            tinyExponent = peek(1) == u'-';
            number += 'e';
            number += char(peek(1).unicode());
            m_pos += 2;
            while (isDigit(peek())) {
                number += char(peek().unicode());
                ++m_pos;
            }
        }
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (error == std::errc::result_out_of_range)
            value = tinyExponent ? 0 : kNumberLimit;
        else if (error != std::errc() || end != number.data() + number.size())
            return false;
        value = std::min(value, kNumberLimit);
        if (negative)
            value = -value;
        return true;
    }

    // The values between the parentheses, in the legacy form with commas or the modern one with
    // blanks and "/ alpha"; count values before any alpha.
    std::optional<Arguments> readArguments(int count, bool legacyAllowed)
    {
        Arguments args;
        std::vector<Component> items;
        QString pattern; // 'v' a value, ',' and '/' as written
        for (;;) {
            skipSpace();
            if (atEnd())
                return fail(kNoCloseParen);
            const QChar c = peek();
            if (c == u')') {
                ++m_pos;
                break;
            }
            if (c == u',' || c == u'/') {
                pattern += c;
                ++m_pos;
                continue;
            }
            const std::optional<Component> item = readComponent();
            if (!item)
                return std::nullopt;
            items.push_back(*item);
            pattern += u'v';
        }
        int before = int(items.size()); // values before the alpha
        int after = 0;
        if (pattern.contains(u',')) {
            if (!legacyAllowed || pattern.contains(u'/') || pattern.endsWith(u','))
                return fail(kCommas);
            for (qsizetype i = 0; i < pattern.size(); ++i)
                if (pattern[i] != (i % 2 == 0 ? u'v' : u','))
                    return fail(kCommas);
            args.legacy = true;
            after = std::max(0, before - count);
            before -= after;
        } else if (const qsizetype slash = pattern.indexOf(u'/'); slash >= 0) {
            if (pattern.indexOf(u'/', slash + 1) >= 0)
                return fail(kSlash);
            before = int(slash);
            after = int(pattern.size() - slash - 1);
            if (after == 0)
                return fail(QStringLiteral("/ の後に値がありません"));
        }
        if (before > count || after > 1)
            return fail(kTooMany);
        if (before < count)
            return fail(kTooFew);
        if (after == 1) {
            args.alpha = items.back();
            items.pop_back();
        }
        args.values = std::move(items);
        if (args.legacy && !accepts(args.alpha, Component::Number | Component::Percent))
            return std::nullopt;
        if (!args.legacy &&
            !accepts(args.alpha, Component::Number | Component::Percent | Component::None))
            return std::nullopt;
        return args;
    }

    bool accepts(const std::optional<Component>& c, int kinds)
    {
        if (!c || (c->kind & kinds))
            return true;
        fail(QStringLiteral("値の種類が違います: ") + quoted(c->text));
        return false;
    }

    bool acceptsAll(const Arguments& args, std::initializer_list<int> kinds)
    {
        const int none = args.legacy ? 0 : Component::None;
        auto kind = kinds.begin();
        for (const Component& c : args.values)
            if (!accepts(c, *kind++ | none))
                return false;
        return true;
    }

    static double alphaOf(const Arguments& args)
    {
        if (!args.alpha)
            return 1;
        return args.alpha->kind == Component::Percent ? args.alpha->value / 100 : args.alpha->value;
    }

    // None counts as zero; a percentage as that share of full.
    static double valueOf(const Component& c, double full)
    {
        if (c.kind == Component::None)
            return 0;
        return c.kind == Component::Percent ? c.value / 100 * full : c.value;
    }

    static double hueOf(const Component& c)
    {
        const double hue = std::fmod(valueOf(c, 0), 360);
        return hue < 0 ? hue + 360 : hue;
    }

    std::optional<CssColor> rgbFunction()
    {
        const std::optional<Arguments> args = readArguments(3, true);
        constexpr int kinds = Component::Number | Component::Percent;
        if (!args || !acceptsAll(*args, {kinds, kinds, kinds}))
            return std::nullopt;
        const std::vector<Component>& v = args->values;
        if (args->legacy && (v[0].kind != v[1].kind || v[1].kind != v[2].kind))
            return fail(QStringLiteral("数と % が混ざっています"));
        Origin origin;
        for (int i = 0; i < 3; ++i)
            origin.coords[i] =
                std::clamp(valueOf(v[i], kChannelMax), 0.0, double(kChannelMax)) / kChannelMax;
        return finished(origin, alphaOf(*args));
    }

    std::optional<CssColor> hslFunction()
    {
        const std::optional<Arguments> args = readArguments(3, true);
        const int hue = Component::Number | Component::Angle;
        const int share =
            args && args->legacy ? Component::Percent : Component::Number | Component::Percent;
        if (!args || !acceptsAll(*args, {hue, share, share}))
            return std::nullopt;
        const std::vector<Component>& v = args->values;
        Origin origin;
        origin.coords = hslToSrgb(hueOf(v[0]), std::max(0.0, valueOf(v[1], 100) / 100),
                                  valueOf(v[2], 100) / 100);
        return finished(origin, alphaOf(*args));
    }

    std::optional<CssColor> hwbFunction()
    {
        const std::optional<Arguments> args = readArguments(3, false);
        const int share = Component::Number | Component::Percent;
        if (!args || !acceptsAll(*args, {Component::Number | Component::Angle, share, share}))
            return std::nullopt;
        const std::vector<Component>& v = args->values;
        const double white = valueOf(v[1], 100) / 100;
        const double black = valueOf(v[2], 100) / 100;
        Origin origin;
        if (white + black >= 1) {
            const double grey = white / (white + black);
            origin.coords = {grey, grey, grey};
        } else {
            origin.coords = hslToSrgb(hueOf(v[0]), 1, 0.5);
            for (double& c : origin.coords)
                c = c * (1 - white - black) + white;
        }
        return finished(origin, alphaOf(*args));
    }

    std::optional<CssColor> labFunction(Space space)
    {
        const std::optional<Arguments> args = readArguments(3, false);
        const int value = Component::Number | Component::Percent;
        const bool polar = space == Space::Lch || space == Space::Oklch;
        const int third = polar ? Component::Number | Component::Angle : value;
        if (!args || !acceptsAll(*args, {value, value, third}))
            return std::nullopt;
        const std::vector<Component>& v = args->values;
        const bool oklab = space == Space::Oklab || space == Space::Oklch;
        // What 100% stands for: lightness, then the axes (Lab) or the chroma (LCh).
        const double fullLightness = oklab ? 1 : 100;
        const double full = oklab ? 0.4 : polar ? 150 : 125;
        Origin origin;
        origin.space = space;
        origin.coords[0] = std::clamp(valueOf(v[0], fullLightness), 0.0, fullLightness);
        origin.coords[1] = valueOf(v[1], full);
        if (polar) {
            origin.coords[1] = std::max(0.0, origin.coords[1]);
            origin.coords[2] = hueOf(v[2]);
        } else {
            origin.coords[2] = valueOf(v[2], full);
        }
        return finished(origin, alphaOf(*args));
    }

    std::optional<CssColor> colorFunction()
    {
        skipSpace();
        const qsizetype start = m_pos;
        const QStringView name = readName();
        if (name.isEmpty())
            return atEnd() ? fail(kNoCloseParen) : fail(QStringLiteral("色空間がありません"));
        const std::pair<const char16_t*, Space> spaces[] = {{u"srgb", Space::Srgb},
                                                            {u"srgb-linear", Space::SrgbLinear},
                                                            {u"display-p3", Space::DisplayP3},
                                                            {u"xyz", Space::XyzD65},
                                                            {u"xyz-d50", Space::XyzD50},
                                                            {u"xyz-d65", Space::XyzD65}};
        const auto found = std::find_if(std::begin(spaces), std::end(spaces),
                                        [&](const auto& s) { return sameName(name, s.first); });
        if (found == std::end(spaces))
            return fail(QStringLiteral("読めない色空間です: ") +
                        quoted(m_text.mid(start, m_pos - start)));
        const std::optional<Arguments> args = readArguments(3, false);
        const int value = Component::Number | Component::Percent;
        if (!args || !acceptsAll(*args, {value, value, value}))
            return std::nullopt;
        Origin origin;
        origin.space = found->second;
        for (int i = 0; i < 3; ++i)
            origin.coords[i] = valueOf(args->values[i], 1);
        return finished(origin, alphaOf(*args));
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    QString m_problem;
};

// The text without comments, blanks around it and trailing semicolons.
QString valueText(QStringView text)
{
    QString value = withoutComments(text).trimmed();
    while (value.endsWith(u';'))
        value = value.chopped(1).trimmed();
    return value;
}

// Splits at separators that stand outside parentheses and quotes.
std::vector<QStringView> splitOutside(QStringView text, QStringView separators)
{
    std::vector<QStringView> parts;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
        } else if (depth == 0 && separators.contains(c)) {
            parts.push_back(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.mid(start));
    return parts;
}

// A declaration's value without "!important", and whether it had it.
std::pair<QStringView, bool> withoutImportant(QStringView value)
{
    value = value.trimmed();
    const qsizetype bang = value.lastIndexOf(u'!');
    if (bang >= 0 && sameName(value.mid(bang + 1).trimmed(), u"important"))
        return {value.left(bang).trimmed(), true};
    return {value, false};
}

// The one colour in the last layer of a background shorthand.
CssColorRead shorthandColor(QStringView value)
{
    const QStringView layer = splitOutside(value, u",").back();
    std::vector<QStringView> words;
    for (const QStringView word : splitOutside(layer, u" \t\r\n\f"))
        if (!word.isEmpty())
            words.push_back(word);
    if (words.size() == 1 && !sameName(words.front(), u"none"))
        return readCssColor(words.front());
    CssColorRead found;
    for (const QStringView word : words) {
        CssColorRead read = readCssColor(word);
        if (!read.color)
            continue;
        if (found.color)
            return {std::nullopt, QStringLiteral("background に色が二つあります")};
        found = read;
    }
    if (!found.color)
        found.problem = QStringLiteral("background に色がありません");
    return found;
}

} // namespace

CssColorRead readCssColor(QStringView text)
{
    return Parser(valueText(text)).read();
}

CssColorRead readCssColorFor(QStringView text, QStringView property)
{
    const QString plain = withoutComments(text);
    const bool background = sameName(property, u"background-color");
    bool declarations = false;
    std::optional<QStringView> value;
    bool shorthand = false;
    bool important = false;
    for (const QStringView part : splitOutside(plain, u";{}")) {
        const qsizetype colon = part.indexOf(u':');
        const QStringView name = part.left(std::max<qsizetype>(colon, 0)).trimmed();
        if (colon < 0 || name.isEmpty() || !std::all_of(name.begin(), name.end(), isNameChar))
            continue;
        declarations = true;
        const bool isShorthand = background && sameName(name, u"background");
        const auto [declared, isImportant] = withoutImportant(part.mid(colon + 1));
        // A later declaration wins, unless an earlier one is important and it is not.
        if ((sameName(name, property) || isShorthand) && (isImportant || !important)) {
            value = declared;
            shorthand = isShorthand;
            important = isImportant;
        }
    }
    if (!declarations)
        return readCssColor(plain);
    if (!value)
        return {std::nullopt, quoted(property) + QStringLiteral(" の指定がありません")};
    return shorthand ? shorthandColor(*value) : readCssColor(*value);
}

Rgb composited(const CssColor& color, const Rgb& under)
{
    const double alpha = std::clamp(color.alpha, 0.0, 1.0);
    Rgb out{};
    for (int i = 0; i < 3; ++i)
        out[i] = int(std::lround(alpha * color.rgb[i] + (1 - alpha) * under[i]));
    return out;
}

} // namespace tintara
