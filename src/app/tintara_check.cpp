#include "app/tintara.h"

#include "app/settingkeys.h"

#include "check/contrast.h"
#include "check/pictureanalysis.h"
#include "check/picturecontrast.h"
#include "check/verdict.h"
#include "check/vision.h"
#include "eyedropper/screencolorpicker.h"
#include "platform/canvas.h"
#include "platform/clipboard.h"
#include "preview/colorcode.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <algorithm>

using namespace tintara;

namespace {

// Above and below the status line's text.
constexpr int kStatusPadding = 4;

QString seenAsText(const QString& vision)
{
    return vision + QStringLiteral("の見え方で表示中");
}

// By tintara::Vision.
constexpr const char* kVisionNames[] = {"通常の見え方", "1型色覚 (P型)", "2型色覚 (D型)",
                                        "3型色覚 (T型)", "1色覚 (明暗のみ)"};

} // namespace

void Tintara::createCheck()
{
    CheckUi& check = m_check;
    check.menu = new QMenu(QStringLiteral("検査"), this);
    menuBar()->insertMenu(m_ui.About, check.menu);
    auto item = [&](const QString& caption, const QString& shortcut) {
        QAction* action = check.menu->addAction(caption);
        action->setShortcut(QKeySequence(shortcut));
        return action;
    };
    check.fitText = item(QStringLiteral("文字色を基準に合わせる"), QStringLiteral("Ctrl+T"));
    check.fitBack = item(QStringLiteral("背景色を基準に合わせる"), QStringLiteral("Ctrl+Shift+T"));
    check.aaa = item(QStringLiteral("AAAを基準にする"), QString());
    check.aaa->setCheckable(true);
    check.copyVerdict = item(QStringLiteral("判定をコピー"), QStringLiteral("Ctrl+K"));
    check.copyCss = item(QStringLiteral("CSSとしてコピー"), QStringLiteral("Ctrl+Shift+C"));
    check.contrastTable =
        item(QStringLiteral("色セットのコントラスト表"), QStringLiteral("Ctrl+G"));
    check.menu->addSeparator();
    check.pickText = item(QStringLiteral("画面から文字色を取得"), QStringLiteral("Ctrl+Shift+F"));
    check.pickBack = item(QStringLiteral("画面から背景色を取得"), QStringLiteral("Ctrl+Shift+B"));
    check.menu->addSeparator();
    // Not kept between runs: every start shows the colours as they are.
    auto* visions = new QActionGroup(this);
    for (int i = 0; i < int(check.vision.size()); ++i) {
        check.vision[i] =
            item(QString::fromUtf8(kVisionNames[i]), QStringLiteral("Ctrl+%1").arg(i));
        check.vision[i]->setCheckable(true);
        visions->addAction(check.vision[i]);
    }
    check.vision[0]->setChecked(true);

    check.status = new QLabel(this);
    check.status->setAccessibleName(QStringLiteral("コントラストの判定"));
    check.status->setTextInteractionFlags(Qt::NoTextInteraction);
    check.status->setTextFormat(Qt::PlainText);
    check.status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window keeps the design's width whatever the line says; it grows by a line where one
    // is not enough.
    check.status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    check.status->setFixedHeight(check.status->fontMetrics().lineSpacing() + kStatusPadding);
    // A margin rather than an indent, which would apply to the top edge too.
    const int inset = check.status->fontMetrics().averageCharWidth();
    check.status->setContentsMargins(inset, 0, 0, 0);
    // Which simulation the preview shows, in a label of its own: the verdict beside it changes
    // with every colour, the simulation seldom.
    check.seenAs = new QLabel(this);
    check.seenAs->setAccessibleName(QStringLiteral("見え方の模擬"));
    check.seenAs->setContentsMargins(inset, 0, 0, 0);
    check.seenAs->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    check.seenAs->setFixedHeight(check.status->height());
    check.seenAs->hide();
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(check.seenAs);
    statusBar()->addWidget(check.status, 1);
    statusBar()->setAccessibleName(QStringLiteral("状態"));
}

void Tintara::connectCheck()
{
    connect(m_check.fitText, &QAction::triggered, this, [this] { fitToTarget(Side::Text); });
    connect(m_check.fitBack, &QAction::triggered, this, [this] { fitToTarget(Side::Background); });
    connect(m_check.aaa, &QAction::triggered, this, &Tintara::setAaaTarget);
    connect(m_check.copyVerdict, &QAction::triggered, this, &Tintara::copyVerdict);
    connect(m_check.copyCss, &QAction::triggered, this, &Tintara::copyAsCss);
    connect(m_check.contrastTable, &QAction::triggered, this, &Tintara::showContrastTable);
    connect(m_check.pickText, &QAction::triggered, this, [this] { pickFromScreen(Side::Text); });
    connect(m_check.pickBack, &QAction::triggered, this,
            [this] { pickFromScreen(Side::Background); });
    ScreenColorPicker* picker = m_services.screenPicker.get();
    connect(picker, &ScreenColorPicker::picked, this, &Tintara::takeScreenColor);
    connect(picker, &ScreenColorPicker::failed, this, [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("Tintara"), message);
    });
    for (int i = 0; i < int(m_check.vision.size()); ++i) {
        connect(m_check.vision[i], &QAction::triggered, this,
                [this, i] { m_model.setVision(Vision(i)); });
    }
    m_analysis = new PictureAnalysis(this);
    connect(m_analysis, &PictureAnalysis::finished, this, &Tintara::updateVerdict);
}

void Tintara::updateVerdict()
{
    m_verdict = m_model.pictureShown()
                    ? verdictOnPicture(m_model.text(), m_analysis->result().get())
                    : verdictOnColor(m_model.text(), m_model.background());
    showVerdict();
}

void Tintara::showVerdict()
{
    QStringList parts = statusParts(m_verdict, m_model.aaaTarget());
    if (!m_checkNote.isEmpty())
        parts << m_checkNote;
    showStatus(parts);

    const bool automatic = m_model.automaticText();
    const bool solid = !m_model.pictureShown();
    m_check.fitText->setEnabled(!automatic && !m_verdict.pending);
    m_check.fitBack->setEnabled(!automatic && solid);
    // The automatic text colour is the background's to decide, and a picture hides the
    // background colour.
    m_check.pickText->setEnabled(!automatic);
    m_check.pickBack->setEnabled(solid);
    m_check.aaa->setChecked(m_model.aaaTarget());
}

void Tintara::showStatus(const QStringList& parts)
{
    // Parts are never split: as many go on a line as fit beside the simulation's name.
    QLabel* status = m_check.status;
    const QFontMetrics metrics = status->fontMetrics();
    const int room = status->contentsRect().width();
    const QString gap = QStringLiteral("　");
    // Shaping the text is most of the cost of a new status line, and most parts come back
    // unchanged as the colours move: each one's width is measured once.
    const QFont font = status->font();
    if (font != m_statusWidthsFont || m_statusWidths.size() > 256) {
        m_statusWidths.clear();
        m_statusWidthsFont = font;
    }
    const QFontMetricsF measure(font);
    const QStringList lines = statusLines(parts, gap, room, [&](const QString& text) {
        auto known = m_statusWidths.constFind(text);
        if (known == m_statusWidths.constEnd())
            known = m_statusWidths.insert(text, measure.horizontalAdvance(text));
        return *known;
    });
    status->setText(lines.join(QLatin1Char('\n')));
    status->setToolTip(parts.join(gap));
    const int height = int(lines.size()) * metrics.lineSpacing() + kStatusPadding;
    if (status->height() != height) {
        status->setFixedHeight(height);
        // Beside the first line, not the middle of two.
        m_check.seenAs->setFixedHeight(height);
    }
}

void Tintara::fitToTarget(Side side)
{
    if (!(side == Side::Text ? m_check.fitText : m_check.fitBack)->isEnabled())
        return;
    const double target = m_model.aaaTarget() ? kAaaNormal : kAaNormal;
    std::optional<Rgb> fitted;
    if (side == Side::Background) {
        fitted = nearestPassingColor(m_model.background(),
                                     AgainstLuminance(relativeLuminance(m_model.text()), target),
                                     m_model.web216());
    } else if (!m_model.pictureShown()) {
        fitted = nearestPassingColor(
            m_model.text(), AgainstLuminance(relativeLuminance(m_model.background()), target),
            m_model.web216());
    } else {
        fitted = nearestPassingColor(m_model.text(), AgainstPicture(*m_analysis->result(), target),
                                     m_model.web216());
    }
    if (!fitted) {
        m_checkNote = QStringLiteral("基準を満たす色はありません");
        showVerdict();
        return;
    }
    // As a typed code is taken.
    m_model.typeColor(side, *fitted);
    endStep();
}

void Tintara::copyVerdict()
{
    QStringList lines{QStringLiteral("文字色: ") + colorCode(m_model.text()),
                      QStringLiteral("背景色: ") + colorCode(m_model.background())};
    if (m_verdict.picture)
        lines << QStringLiteral("背景画像: ") + m_BackFile;
    lines << verdictLines(m_verdict);
    copyPlainText(lines.join(QLatin1Char('\n')));
}

void Tintara::copyAsCss()
{
    // The verdict as a comment, which the paste commands pass over: pasted back, each of the
    // two colours comes from its own property.
    const QStringList parts = statusParts(m_verdict, m_model.aaaTarget());
    copyPlainText(QStringLiteral("/* %1 */\ncolor: %2;\nbackground-color: %3;\n")
                      .arg(parts.join(QLatin1Char(' ')), colorCode(m_model.text()),
                           colorCode(m_model.background())));
}

void Tintara::setAaaTarget(bool on)
{
    m_model.setAaaTarget(on);
    keys::write(store(), keys::kTarget, on ? QStringLiteral("AAA") : QStringLiteral("AA"));
    if (!commitSettings())
        warnSettingsProblem();
}

void Tintara::showVision()
{
    const Vision vision = m_model.vision();
    m_check.vision[int(vision)]->setChecked(true);
    // Before the verdict, so that nobody takes the simulated preview for the real colours. As
    // wide as the widest name, measured on first use: measuring at start-up would hold it back.
    QLabel* seenAs = m_check.seenAs;
    if (seenAs->minimumWidth() == 0) {
        int widest = 0;
        for (const char* name : kVisionNames)
            widest = std::max(widest, seenAs->fontMetrics().horizontalAdvance(
                                          seenAsText(QString::fromUtf8(name))));
        seenAs->setFixedWidth(widest + 2 * seenAs->contentsMargins().left());
    }
    seenAs->setText(seenAsText(QString::fromUtf8(kVisionNames[int(vision)])));
    seenAs->setVisible(vision != Vision::Normal);
    // The line beside it has less room now, or more.
    if (m_shown) {
        statusBar()->layout()->activate();
        showVerdict();
    }
}

const QPixmap* Tintara::seenPicture()
{
    const Vision vision = m_model.vision();
    if (!m_model.pictureShown() || vision == Vision::Normal) {
        // The last simulated picture may be large: it goes as soon as it is not shown.
        m_seenPicture = QPixmap();
        m_seenFrom = 0;
        return m_model.pictureShown() ? &m_BackPicture : nullptr;
    }
    if (m_seenFrom != m_BackPicture.cacheKey() || m_seenVision != vision) {
        m_seenPicture = QPixmap(); // before the next is made, not beside it
        m_seenPicture = QPixmap::fromImage(simulatedPicture(m_BackPicture.toImage(), vision));
        m_seenFrom = m_BackPicture.cacheKey();
        m_seenVision = vision;
    }
    return &m_seenPicture;
}

void Tintara::pickFromScreen(Side side)
{
    if (!(side == Side::Text ? m_check.pickText : m_check.pickBack)->isEnabled() ||
        m_services.screenPicker->isActive())
        return;
    m_picking = side;
    m_services.screenPicker->start();
}

void Tintara::takeScreenColor(const QColor& color)
{
    // The desktop's picker may answer after the modes changed: what is not to be taken now is
    // not taken.
    if (!(m_picking == Side::Text ? m_check.pickText : m_check.pickBack)->isEnabled())
        return;
    // As the sliders take a colour: rounded in web-safe mode, and a background decides the
    // automatic text colour.
    m_model.takeFromScreen(m_picking, {color.red(), color.green(), color.blue()});
    endStep();
}
