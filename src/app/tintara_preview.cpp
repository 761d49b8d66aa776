#include "app/tintara.h"

#include "check/vision.h"
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
constexpr int kFullColorPageStep = 16;

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
    Canvas* box = m_ui.Picture1;
    const QSizeF size = box->size();
    QPainter painter(&box->buffer());
    const Vision vision = m_model.vision();
    const auto seen = [vision](const Rgb& color) {
        const Rgb c = simulatedColor(color, vision);
        return QColor(c[0], c[1], c[2]);
    };

    PreviewRenderer::Background background;
    background.solid = !m_model.pictureShown();
    background.color = seen(m_model.background());
    const QColor cleared = box->palette().color(QPalette::Window);
    background.cleared = seen({cleared.red(), cleared.green(), cleared.blue()});
    background.picture = seenPicture();
    background.tileWidthTwips = m_TileWidth;
    background.tileHeightTwips = m_TileHeight;
    m_preview->paintBackground(painter, size, background);

    const QColor foreground = seen(m_model.text());
    for (int line = 0; line < PreviewRenderer::kLines; ++line)
        m_preview->paintLine(painter, line, size, m_twips, foreground);
    painter.end();
    box->present();
    showCodes();
}

void Tintara::showCodes()
{
    // These codes describe the colours as they already are; they must never come back as typed
    // input (in web-safe mode that would round a brightness step, for one).
    const bool updating = std::exchange(m_Updating, true);
    showCode(m_ui.ColorCode[0], colorCode(m_model.text()));
    showCode(m_ui.ColorCode[1], colorCode(m_model.background()));
    m_Updating = updating;
}

void Tintara::DrawColorBar(bool isFore)
{
    Canvas* bar = isFore ? m_ui.ForeBar : m_ui.BackBar;
    renderColorBar(bar->buffer(), isFore ? m_model.text() : m_model.background(), m_model.web216());
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
    m_model.pickOnBar(isFore ? Side::Text : Side::Background, pickBarRow(Y * down, kBarUnitTwips),
                      pickBarValue(X * across, kBarUnitTwips, m_model.web216()));
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
    if (const auto code = parseColorCode(m_ui.ColorCode[Index]->text())) {
        m_model.typeColor(Index == 0 ? Side::Text : Side::Background, *code);
        endStep();
    }
}

void Tintara::w216_Click()
{
    m_model.setWeb216(!m_model.web216());
    endStep();
}

void Tintara::showWeb216Mode()
{
    const bool on = m_model.web216();
    m_ui.w216->setChecked(on);
    for (ChannelSlider* slider : m_ui.Slider1) {
        slider->setPageStep(on ? kWebSafeStep : kFullColorPageStep);
        slider->setSingleStep(1);
    }
    setWindowTitle(on ? QStringLiteral("Tintara : Web216 Mode")
                      : QStringLiteral("Tintara : Full Color Mode"));
}
