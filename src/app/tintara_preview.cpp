#include "app/tintara.h"

#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "preview/colorbar.h"
#include "preview/colorcode.h"
#include "preview/previewrenderer.h"
#include "preview/web216.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <utility>

using namespace tintara;

namespace {

// A page step in full colour: a sixteenth of the scale.
constexpr int kFullColourPageStep = 16;

// A box that already shows the code is left alone: rewriting it would lay it out and repaint it
// for nothing, and move the cursor of a user who has just typed that code.
void showCode(QLineEdit* box, const QString& code)
{
    if (box->text() != code)
        box->setText(code);
}

} // namespace

void Tintara::connectPreview()
{
    connectBar(m_ui.ForeBar, &Tintara::foreBar_MouseDown, &Tintara::foreBar_MouseMove,
               &Tintara::ForeBar_MouseUp);
    connectBar(m_ui.BackBar, &Tintara::backBar_MouseDown, &Tintara::backBar_MouseMove,
               &Tintara::BackBar_MouseUp);
    for (int i = 0; i < 2; ++i)
        connect(m_ui.ColorCode[i], &QLineEdit::textChanged, this,
                [this, i] { ColorCode_Change(i); });
    connectInvertingItem(m_ui.w216, &Tintara::w216_Click);
}

void Tintara::connectBar(Canvas* bar, BarHandler down, BarHandler moved, BarHandler up)
{
    // The handlers take the pointer's place in twips.
    const auto inTwips = [this](BarHandler handler) {
        return [this, handler](Qt::MouseButtons buttons, QPointF p) {
            (this->*handler)(buttons, m_twips.toTwips(p.x()), m_twips.toTwips(p.y()));
        };
    };
    connect(bar, &Canvas::mousePressed, this, inTwips(down));
    connect(bar, &Canvas::mouseMoved, this, inTwips(moved));
    connect(bar, &Canvas::mouseReleased, this, inTwips(up));
}

void Tintara::DrawPreview()
{
    m_previewStale = m_previewHeld;
    if (m_previewHeld)
        return;
    Canvas* box = m_ui.Picture1;
    const QSizeF size = box->size();
    QPainter painter(&box->buffer());

    PreviewRenderer::Background background;
    background.solid = m_SolidBack;
    background.colour = seenColour(BC(0), BC(1), BC(2));
    const QColor cleared = box->palette().color(QPalette::Window);
    background.cleared = seenColour(cleared.red(), cleared.green(), cleared.blue());
    background.picture = seenPicture();
    background.tileWidthTwips = m_TileWidth;
    background.tileHeightTwips = m_TileHeight;
    m_preview->paintBackground(painter, size, background);

    const QColor foreground = seenColour(FC(0), FC(1), FC(2));
    m_preview->paintLine(painter, 0, size, m_twips, foreground);
    m_preview->paintLine(painter, 1, size, m_twips, foreground);
    {
        // These codes describe the channels as they already are; they must never come back as
        // typed input (in web-safe mode that would round a brightness step, for one).
        const bool updating = std::exchange(m_Updating, true);
        showCode(m_ui.ColorCode[0], colorCode(FC(0), FC(1), FC(2)));
        showCode(m_ui.ColorCode[1], colorCode(BC(0), BC(1), BC(2)));
        m_Updating = updating;
    }
    m_preview->paintLine(painter, 2, size, m_twips, foreground);
    m_preview->paintLine(painter, 3, size, m_twips, foreground);
    painter.end();
    box->present();
}

void Tintara::DrawColorBar(bool isFore)
{
    Canvas* bar = isFore ? m_ui.ForeBar : m_ui.BackBar;
    const int b = isFore ? 0 : kBackFirst;
    const Rgb channels{m_ui.Slider1[b]->value(), m_ui.Slider1[b + 1]->value(),
                       m_ui.Slider1[b + 2]->value()};
    renderColorBar(bar->buffer(), channels, m_Web216);
    bar->present();
}

void Tintara::PickBarColor(bool isFore, float X, float Y)
{
    // The pointer's twips on the box as they would be on the bar's design size, where a unit is
    // 15 twips; at 96 DPI the two are the same.
    const Canvas* bar = isFore ? m_ui.ForeBar : m_ui.BackBar;
    const float across = kBarUnits * kBarUnitTwips / m_twips.toTwips(double(bar->width()));
    const float down =
        kBarRows * kBarRowHeight * kBarUnitTwips / m_twips.toTwips(double(bar->height()));
    const int row = pickBarRow(Y * down, kBarUnitTwips);
    if (row < 0 || row >= kBarRows)
        return;
    const int k = row + (isFore ? 0 : kBackFirst);
    const int v = pickBarValue(X * across, kBarUnitTwips, m_Web216);
    // Off the ends of the bar the channel keeps its value; the scroll handling still runs.
    if (v >= 0 && v <= kChannelMax)
        m_ui.Slider1[k]->setValue(v);
    Slider1_Scroll(k);
}

void Tintara::foreBar_MouseDown(Qt::MouseButtons Button, float X, float Y)
{
    if (Button & Qt::LeftButton)
        PickBarColor(true, X, Y);
}

void Tintara::foreBar_MouseMove(Qt::MouseButtons Button, float X, float Y)
{
    if (Button & Qt::LeftButton)
        PickBarColor(true, X, Y);
}

void Tintara::ForeBar_MouseUp(Qt::MouseButtons, float, float)
{
    DrawColorBar(true);
}

void Tintara::backBar_MouseDown(Qt::MouseButtons Button, float X, float Y)
{
    if (Button & Qt::LeftButton)
        PickBarColor(false, X, Y);
}

void Tintara::backBar_MouseMove(Qt::MouseButtons Button, float X, float Y)
{
    if (Button & Qt::LeftButton)
        PickBarColor(false, X, Y);
}

void Tintara::BackBar_MouseUp(Qt::MouseButtons, float, float)
{
    DrawColorBar(false);
}

void Tintara::ColorCode_Change(int Index)
{
    if (m_Updating)
        return;
    m_Updating = true;
    if (const auto code = parseColorCode(m_ui.ColorCode[Index]->text())) {
        int r = (*code)[0];
        int g = (*code)[1];
        int b = (*code)[2];
        RoundToWeb216(r, g, b);
        const int first = Index * kBackFirst;
        m_ui.Slider1[first]->setValue(r);
        m_ui.Slider1[first + 1]->setValue(g);
        m_ui.Slider1[first + 2]->setValue(b);
        DrawPreview();
        DrawColorBar(Index == 0);
    }
    m_Updating = false;
}

void Tintara::w216_Click()
{
    // Switching on rounds the colours: that is a step of its own.
    const StepScope oneStep(*this, true);
    m_ui.w216->setChecked(!m_ui.w216->isChecked());
    SetWeb216Mode(m_ui.w216->isChecked());
    DrawPreview();
    DrawColorBar(true);
    DrawColorBar(false);
}

void Tintara::SetWeb216Mode(bool on)
{
    m_Web216 = on;
    for (int i = 0; i < kSliderCount; ++i) {
        m_ui.Slider1[i]->setPageStep(on ? kWebSafeStep : kFullColourPageStep);
        m_ui.Slider1[i]->setSingleStep(1);
        if (on)
            Slider1_Scroll(i);
    }
    setWindowTitle(on ? QStringLiteral("Tintara : Web216 Mode")
                      : QStringLiteral("Tintara : Full Color Mode"));
}

void Tintara::RoundToWeb216(int& r, int& g, int& b) const
{
    if (!m_Web216)
        return;
    r = roundToWebSafe(r);
    g = roundToWebSafe(g);
    b = roundToWebSafe(b);
}
