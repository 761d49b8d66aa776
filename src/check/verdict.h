#pragma once

#include "color/rgb.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tintara {

class PictureContrast;

// Whether the text can be read on what is behind it: against the plain background colour, or
// over a picture against the pixel hardest to read against.
struct Verdict
{
    Rgb text{};
    // The plain background colour, or the picture's hardest pixel.
    Rgb background{};
    double ratio = 1;
    double lc = 0;
    bool picture = false;
    // Over a picture whose analysis has not finished: nothing is known yet.
    bool pending = false;
    int aaPercent = 0;
    // The threshold a small change would reach, where some colour can reach it; 0 if none.
    double nearly = 0;
};

// The verdict of text over a plain background, or over a picture when one is given (null while
// its analysis goes on: the verdict is pending).
Verdict verdictOnColor(const Rgb& text, const Rgb& background);
Verdict verdictOnPicture(const Rgb& text, const PictureContrast* picture);

// The status line's parts, in order; the target in force is named.
QStringList statusParts(const Verdict& verdict, bool aaaTarget);
// The parts on lines no wider than room, in order and never split, as many on each line as fit
// with gap between them; width measures a text.
QStringList statusLines(const QStringList& parts, const QString& gap, qreal room,
                        const std::function<qreal(const QString&)>& width);
// The lines of the copied verdict, after the colours and the picture's name.
QStringList verdictLines(const Verdict& verdict);

} // namespace tintara
