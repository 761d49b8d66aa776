#include "app/tintara.h"

#include "check/contrast.h"
#include "check/picturecontrast.h"
#include "check/vision.h"
#include "eyedropper/screencolourpicker.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/clipboard.h"
#include "platform/settingsstore.h"
#include "preview/colorcode.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <algorithm>

using namespace tintara;

namespace {

const QString kCheckSection = QStringLiteral("check");
// Above and below the status line's text.
constexpr int kStatusPadding = 4;
const QString kLevelKey = QStringLiteral("level");

QString passText(double ratio, double threshold)
{
    return ratio >= threshold ? QStringLiteral("合格") : QStringLiteral("不合格");
}

// Marks that do not depend on colour: a circle for a pass, a cross for a failure.
QString passMark(double ratio, double threshold)
{
    return ratio >= threshold ? QStringLiteral("○") : QStringLiteral("×");
}

QString seenAsText(const QString& vision)
{
    return vision + QStringLiteral("の見え方で表示中");
}

// By tintara::Vision.
constexpr const char* kVisionNames[] = {"通常の見え方", "1型色覚 (P型)", "2型色覚 (D型)",
                                        "3型色覚 (T型)", "1色覚 (明暗のみ)"};

} // namespace

// What the status line and the copied verdict say: of the text on the background colour, or on
// the picture's pixel that is hardest to read against.
struct Tintara::Verdict
{
    Rgb text{};
    Rgb background{};
    double ratio = 0;
    double lc = 0;
    bool picture = false;
    int aaPercent = 0;
};

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
    check.aaa->setChecked(store().read(kCheckSection, kLevelKey, QStringLiteral("AA")) ==
                          QLatin1String("AAA"));
    check.copyVerdict = item(QStringLiteral("判定をコピー"), QStringLiteral("Ctrl+K"));
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
    check.seenAs->hide();
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(check.seenAs);
    statusBar()->addWidget(check.status, 1);
    statusBar()->setAccessibleName(QStringLiteral("状態"));
}

void Tintara::connectCheck()
{
    connect(m_check.fitText, &QAction::triggered, this, [this] { fitToTarget(true); });
    connect(m_check.fitBack, &QAction::triggered, this, [this] { fitToTarget(false); });
    connect(m_check.aaa, &QAction::toggled, this, &Tintara::setAaaTarget);
    connect(m_check.copyVerdict, &QAction::triggered, this, &Tintara::copyVerdict);
    connect(m_check.pickText, &QAction::triggered, this, [this] { pickFromScreen(true); });
    connect(m_check.pickBack, &QAction::triggered, this, [this] { pickFromScreen(false); });
    ScreenColourPicker* picker = m_services.screenPicker.get();
    connect(picker, &ScreenColourPicker::picked, this, &Tintara::takeScreenColour);
    connect(picker, &ScreenColourPicker::failed, this, [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("Tintara"), message);
    });
    for (int i = 0; i < int(m_check.vision.size()); ++i)
        connect(m_check.vision[i], &QAction::triggered, this, [this, i] { setVision(Vision(i)); });
    // Every change of colour or background is drawn in the preview.
    connect(m_ui.Picture1, &Canvas::presented, this, [this] {
        m_checkNote.clear();
        refreshVerdict();
    });
}

double Tintara::checkTarget() const
{
    return m_check.aaa->isChecked() ? kAaaNormal : kAaNormal;
}

Tintara::Verdict Tintara::currentVerdict()
{
    Verdict verdict;
    verdict.text = {FC(0), FC(1), FC(2)};
    verdict.background = {BC(0), BC(1), BC(2)};
    verdict.picture = !m_SolidBack && !m_BackPicture.isNull();
    if (verdict.picture) {
        if (!m_pictureContrast || m_pictureKey != m_BackPicture.cacheKey()) {
            m_pictureContrast = std::make_unique<PictureContrast>(
                m_BackPicture.toImage(), m_ui.Picture1->palette().color(QPalette::Window).rgb());
            m_pictureKey = m_BackPicture.cacheKey();
        }
        verdict.picture = !m_pictureContrast->isEmpty();
    }
    if (verdict.picture) {
        const PictureContrast::Verdict worst = m_pictureContrast->against(verdict.text);
        verdict.background = worst.worst;
        verdict.ratio = worst.ratio;
        verdict.aaPercent = worst.aaPercent;
    } else {
        verdict.ratio = contrastRatio(verdict.text, verdict.background);
    }
    verdict.lc = apcaContrast(verdict.text, verdict.background);
    return verdict;
}

void Tintara::refreshVerdict()
{
    const Verdict v = currentVerdict();
    const auto marks = [&v](const char* level, double normal, double large) {
        return QStringLiteral("%1 通常 %2 大 %3")
            .arg(QLatin1String(level), passMark(v.ratio, normal), passMark(v.ratio, large));
    };
    QStringList parts{(v.picture ? QStringLiteral("画像の最も読みにくい点 ")
                                 : QStringLiteral("コントラスト比 ")) +
                          ratioText(v.ratio),
                      marks("AA", kAaNormal, kAaLarge), marks("AAA", kAaaNormal, kAaaLarge),
                      QStringLiteral("APCA Lc ") + apcaText(v.lc),
                      m_check.aaa->isChecked() ? QStringLiteral("基準 AAA")
                                               : QStringLiteral("基準 AA")};
    for (const double threshold : {kAaNormal, kAaaNormal, kAaLarge}) {
        if (justBelow(v.ratio, threshold)) {
            // Over a plain colour either colour can always be moved far enough; over a picture
            // only the text can, and it may find no room between the pixels.
            if (!v.picture || !m_pictureContrast->passingBands(threshold).empty())
                parts.insert(1, QStringLiteral("%1 まであと少し").arg(threshold));
            break;
        }
    }
    if (v.picture)
        parts << QStringLiteral("AA 通常を満たす画素 %1%").arg(v.aaPercent);
    if (!m_checkNote.isEmpty())
        parts << m_checkNote;
    showStatus(parts);

    const bool automatic = m_ui.FAutoCK->isChecked();
    m_check.fitText->setEnabled(!automatic);
    m_check.fitBack->setEnabled(!automatic && m_SolidBack);
    // The automatic text colour is the background's to decide, and a picture hides the
    // background colour.
    m_check.pickText->setEnabled(!automatic);
    m_check.pickBack->setEnabled(m_SolidBack);
}

void Tintara::showStatus(const QStringList& parts)
{
    // Parts are never split: as many go on a line as fit beside the simulation's name.
    QLabel* status = m_check.status;
    const QFontMetrics metrics = status->fontMetrics();
    const int room = status->contentsRect().width();
    const QString gap = QStringLiteral("　");
    QStringList lines;
    for (const QString& part : parts) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + gap + part) <= room)
            lines.last() += gap + part;
        else
            lines << part;
    }
    status->setText(lines.join(QLatin1Char('\n')));
    status->setToolTip(parts.join(gap));
    const int height = int(lines.size()) * metrics.lineSpacing() + kStatusPadding;
    if (status->height() != height)
        status->setFixedHeight(height);
}

void Tintara::fitToTarget(bool text)
{
    if (!(text ? m_check.fitText : m_check.fitBack)->isEnabled())
        return;
    const Verdict v = currentVerdict();
    const double target = checkTarget();
    std::optional<Rgb> fitted;
    if (!text)
        fitted = nearestPassingColor(v.background,
                                     AgainstLuminance(relativeLuminance(v.text), target), m_Web216);
    else if (!v.picture)
        fitted = nearestPassingColor(
            v.text, AgainstLuminance(relativeLuminance(v.background), target), m_Web216);
    else
        fitted = nearestPassingColor(v.text, AgainstPicture(*m_pictureContrast, target), m_Web216);
    if (!fitted) {
        m_checkNote = QStringLiteral("基準を満たす色はありません");
        refreshVerdict();
        return;
    }
    // As a colour set does: the code goes in, and every rule of a typed code applies.
    const Rgb& c = *fitted;
    m_ui.ColorCode[text ? 0 : 1]->setText(colorCode(c[0], c[1], c[2]));
}

void Tintara::copyVerdict()
{
    const Verdict v = currentVerdict();
    QStringList lines{QStringLiteral("文字色: ") + colorCode(FC(0), FC(1), FC(2)),
                      QStringLiteral("背景色: ") + colorCode(BC(0), BC(1), BC(2))};
    if (v.picture) {
        lines << QStringLiteral("背景画像: ") + m_BackFile
              << QStringLiteral("最も読みにくい画素: ") + colorCode(v.background);
    }
    lines << QStringLiteral("コントラスト比: ") + ratioText(v.ratio)
          << QStringLiteral("AA 通常の文字: ") + passText(v.ratio, kAaNormal)
          << QStringLiteral("AA 大きな文字: ") + passText(v.ratio, kAaLarge)
          << QStringLiteral("AAA 通常の文字: ") + passText(v.ratio, kAaaNormal)
          << QStringLiteral("AAA 大きな文字: ") + passText(v.ratio, kAaaLarge)
          << QStringLiteral("APCA Lc: ") + apcaText(v.lc);
    if (v.picture)
        lines << QStringLiteral("AA 通常の文字を満たす画素: %1%").arg(v.aaPercent);
    copyPlainText(lines.join(QLatin1Char('\n')));
}

void Tintara::setAaaTarget(bool on)
{
    store().write(kCheckSection, kLevelKey, on ? QStringLiteral("AAA") : QStringLiteral("AA"));
    if (!commitSettings())
        warnSettingsProblem();
}

void Tintara::setVision(Vision vision)
{
    m_check.vision[int(vision)]->setChecked(true);
    if (vision == m_vision)
        return;
    m_vision = vision;
    // Before the verdict, so that nobody takes the simulated preview for the real colours. As
    // wide as the widest name, measured on first use: measuring at start-up would hold it back.
    QLabel* seenAs = m_check.seenAs;
    if (seenAs->minimumWidth() == 0) {
        int widest = 0;
        for (const char* name : kVisionNames)
            widest = std::max(widest, seenAs->fontMetrics().horizontalAdvance(
                                          seenAsText(QString::fromUtf8(name))));
        seenAs->setFixedSize(widest + 2 * seenAs->contentsMargins().left(),
                             seenAs->fontMetrics().lineSpacing() + kStatusPadding);
    }
    seenAs->setText(seenAsText(QString::fromUtf8(kVisionNames[int(vision)])));
    m_check.seenAs->setVisible(vision != Vision::Normal);
    DrawPreview();
}

QColor Tintara::seenColour(int r, int g, int b) const
{
    const Rgb seen = simulatedColour({r, g, b}, m_vision);
    return QColor(seen[0], seen[1], seen[2]);
}

const QPixmap* Tintara::seenPicture()
{
    if (m_SolidBack || m_BackPicture.isNull() || m_vision == Vision::Normal) {
        // The last simulated picture may be large: it goes as soon as it is not shown.
        m_seenPicture = QPixmap();
        m_seenFrom = 0;
        return m_SolidBack || m_BackPicture.isNull() ? nullptr : &m_BackPicture;
    }
    if (m_seenFrom != m_BackPicture.cacheKey() || m_seenVision != m_vision) {
        m_seenPicture = QPixmap(); // before the next is made, not beside it
        m_seenPicture = QPixmap::fromImage(simulatedPicture(m_BackPicture.toImage(), m_vision));
        m_seenFrom = m_BackPicture.cacheKey();
        m_seenVision = m_vision;
    }
    return &m_seenPicture;
}

void Tintara::pickFromScreen(bool text)
{
    if (!(text ? m_check.pickText : m_check.pickBack)->isEnabled() ||
        m_services.screenPicker->isActive())
        return;
    m_pickingText = text;
    m_services.screenPicker->start();
}

void Tintara::takeScreenColour(const QColor& colour)
{
    // As the sliders take a colour: rounded in web-safe mode, and a background decides the
    // automatic text colour.
    // The desktop's picker may answer after the modes changed: what is not to be taken now is
    // not taken.
    if (!(m_pickingText ? m_check.pickText : m_check.pickBack)->isEnabled())
        return;
    const StepScope oneStep(*this, true);
    const int first = m_pickingText ? 0 : kBackFirst;
    const Rgb taken{colour.red(), colour.green(), colour.blue()};
    m_previewHeld = true;
    for (int k = 0; k < 3; ++k)
        m_ui.Slider1[first + k]->setValue(taken[k]);
    for (int k = 0; k < 3; ++k)
        Slider1_Scroll(first + k);
    m_previewHeld = false;
    m_previewStale = false;
    DrawPreview();
    DrawColorBar(m_pickingText);
}
