#include "app/tintara.h"

#include "app/settingvalues.h"
#include "app/windowplacement.h"
#include "buildinfo.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/exposure.h"
#include "platform/filechooser.h"
#include "platform/programicon.h"
#include "platform/qttexts.h"
#include "platform/settingsstore.h"
#include "platform/terminationsignals.h"
#include "platform/twips.h"
#include "platform/uifont.h"
#include "preview/colorcode.h"
#include "preview/previewrenderer.h"
#include "sets/colorset.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QSignalBlocker>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

using namespace tintara;

namespace {

const QString kApplication = QStringLiteral("Tintara");

// Design size of the client area below the menu bar, in twips.
constexpr int kClientWidth = 10035;
constexpr int kClientHeight = 4620;

constexpr int kSliderLeft[6] = {375, 1860, 3345, 405, 1890, 3375};
constexpr int kSliderTop[6] = {375, 375, 360, 2175, 2190, 2190};
constexpr int kValueTop[6] = {975, 1290, 1620, 2910, 3180, 3465};
constexpr int kBrightTop[4] = {990, 1470, 2865, 3345};
constexpr int kChannelNameLeft[6] = {1020, 2535, 4035, 1050, 2565, 4065};
constexpr int kChannelNameTop[6] = {150, 150, 150, 1950, 1950, 1950};

const char* const kChannelKeys[6] = {"fr", "fg", "fb", "br", "bg", "bb"};

QString colorListKey(int index)
{
    return QStringLiteral("No.") + QString::number(index);
}

QList<QRect> availableScreens()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

Tintara::Tintara(QWidget* parent)
    : Tintara(TintaraServices{}, parent)
{
}

Tintara::Tintara(TintaraServices services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
{
    if (!m_services.settings)
        m_services.settings = std::make_unique<NativeSettingsStore>();
    if (!m_services.files)
        m_services.files = std::make_unique<DialogFileChooser>();
    if (!m_services.openUrl)
        m_services.openUrl = &openWebAddress;

    useJapaneseUiFont();
    useJapaneseQtTexts();
    setWindowTitle(QStringLiteral("Tintara"));
    // The dialogs over the window inherit it.
    setWindowIcon(programIcon());
    m_TwipsPerPixel = tintara::twipsPerPixel(this);

    createControls();
    createMenu();
    connectControls();
    describeControls();
    orderTabStops();
    m_preview = std::make_unique<PreviewRenderer>(m_ui.Picture1->font(),
                                                  QString::fromUtf8(build::kHomePage));

    // Ending the program by a signal or with the desktop session still writes the settings.
    m_termination = new TerminationSignals(this);
    connect(m_termination, &TerminationSignals::requested, this, &Tintara::closeForTermination);
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { Form_QueryUnload(); });
#endif
}

Tintara::~Tintara() = default;

QRect Tintara::designRect(int left, int top, int width, int height) const
{
    return twipsRect(left, top, width, height, m_TwipsPerPixel);
}

void Tintara::createControls()
{
    auto* client = new QWidget(this);
    client->setFixedSize(designRect(0, 0, kClientWidth, kClientHeight).size());
    setCentralWidget(client);
    // The design has a fixed size: the window can be neither resized nor maximised.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    TintaraUi& ui = m_ui;
    ui.AddBtn = new QPushButton(QStringLiteral("ADD"), client);
    ui.AddBtn->setGeometry(designRect(8685, 60, 585, 285));
    ui.DelList = new QPushButton(QStringLiteral("DEL"), client);
    ui.DelList->setGeometry(designRect(9300, 60, 495, 285));
    ui.ColorCmbo = new QComboBox(client);
    ui.ColorCmbo->setGeometry(designRect(6315, 45, 2340, 300));

    ui.Frame1 = new QFrame(client);
    ui.Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    ui.Frame1->setGeometry(designRect(4920, 555, 4965, 3900));

    for (int i = 0; i < 4; ++i) {
        ui.Bright[i] =
            new QPushButton(i % 2 == 0 ? QStringLiteral("▲") : QStringLiteral("▼"), ui.Frame1);
        ui.Bright[i]->setGeometry(designRect(120, kBrightTop[i], 330, 285));
    }
    ui.BackBar = new Canvas(ui.Frame1);
    ui.BackBar->setGeometry(designRect(945, 2880, 3840, 900));
    ui.ForeBar = new Canvas(ui.Frame1);
    ui.ForeBar->setGeometry(designRect(900, 930, 3840, 900));

    for (int i = 0; i < 6; ++i) {
        ui.Slider1[i] = new ChannelSlider(ui.Frame1);
        ui.Slider1[i]->setGeometry(designRect(kSliderLeft[i], kSliderTop[i], 1500, 600));
        ui.Slider1[i]->setTickPosition(QSlider::TicksBelow);
        ui.Slider1[i]->setTickInterval(51);
    }
    for (int i = 0; i < 6; ++i) {
        ui.cval[i] = new QLabel(QStringLiteral("0"), ui.Frame1);
        ui.cval[i]->setGeometry(designRect(390, kValueTop[i], 420, 195));
        // Right-aligned, so the number stays clear of the brightness button beside it.
        ui.cval[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    const QString channelNames[3] = {QStringLiteral("赤"), QStringLiteral("緑"),
                                     QStringLiteral("青")};
    for (int i = 0; i < 6; ++i) {
        ui.Label2[i] = new QLabel(channelNames[i % 3], ui.Frame1);
        ui.Label2[i]->setGeometry(designRect(kChannelNameLeft[i], kChannelNameTop[i], 345, 240));
    }
    ui.lbl[0] = new QLabel(QStringLiteral("前"), ui.Frame1);
    ui.lbl[0]->setGeometry(designRect(105, 465, 195, 240));
    ui.lbl[1] = new QLabel(QStringLiteral("背"), ui.Frame1);
    ui.lbl[1]->setGeometry(designRect(150, 2235, 195, 240));

    ui.HTMLBtn = new QPushButton(QStringLiteral("HTML"), client);
    ui.HTMLBtn->setGeometry(designRect(3300, 4125, 1215, 330));
    for (int i = 0; i < 2; ++i) {
        ui.ColorCode[i] = new QLineEdit(QStringLiteral("Text1"), client);
        ui.ColorCode[i]->setGeometry(designRect(i == 0 ? 600 : 2085, 4170, 1005, 270));
    }
    ui.FAutoCK = new QCheckBox(QStringLiteral("前景色自動"), client);
    ui.FAutoCK->setGeometry(designRect(4980, 30, 1245, 315));
    ui.Picture1 = new Canvas(client);
    ui.Picture1->setGeometry(designRect(15, 0, 4770, 3945));
    ui.Picture1->setAcceptDrops(true);
    ui.lbl[2] = new QLabel(QStringLiteral("前"), client);
    ui.lbl[2]->setGeometry(designRect(330, 4170, 225, 270));
    ui.lbl[3] = new QLabel(QStringLiteral("背"), client);
    ui.lbl[3]->setGeometry(designRect(1785, 4185, 225, 270));

    // Labels lie beneath the other controls they touch. A value label reaches a few pixels under
    // its brightness button, where its right-aligned number never goes; leaving that strip out of
    // the label keeps every new value from repainting the button as well.
    for (QLabel* label : ui.cval) {
        label->lower();
        QRegion shown(label->rect());
        for (QPushButton* button : ui.Bright)
            shown -= button->geometry().translated(-label->pos());
        if (shown != QRegion(label->rect()))
            label->setMask(shown);
    }
}

void Tintara::createMenu()
{
    TintaraUi& ui = m_ui;
    ui.func = menuBar()->addMenu(QStringLiteral("機能"));
    auto item = [&](const QString& caption, const QKeySequence& shortcut) {
        QAction* action = ui.func->addAction(caption);
        action->setShortcut(shortcut);
        return action;
    };
    ui.LoadBGPic =
        item(QStringLiteral("背景ビットマップ読み込み"), QKeySequence(QStringLiteral("Ctrl+O")));
    ui.bmpbg = item(QStringLiteral("ビットマップ背景"), QKeySequence(QStringLiteral("Ctrl+X")));
    ui.bmpbg->setCheckable(true);
    ui.bmpbg->setEnabled(false);
    ui.w216 = item(QStringLiteral("Web216"), QKeySequence(QStringLiteral("Ctrl+W")));
    ui.w216->setCheckable(true);
    ui.fauto = item(QStringLiteral("前景色自動"), QKeySequence(QStringLiteral("Ctrl+Q")));
    ui.fauto->setCheckable(true);
    ui.copyf = item(QStringLiteral("前景色コピー"), QKeySequence(QStringLiteral("Ctrl+F")));
    ui.copyb = item(QStringLiteral("背景色コピー"), QKeySequence(QStringLiteral("Ctrl+B")));
    ui.genhtml = item(QStringLiteral("HTML生成"), QKeySequence(QStringLiteral("Ctrl+H")));
    ui.SaveColor = item(QStringLiteral("色保存..."), QKeySequence());
    ui.About = menuBar()->addAction(QStringLiteral("情報"));
}

void Tintara::connectControls()
{
    const TintaraUi& ui = m_ui;
    for (int i = 0; i < 6; ++i) {
        connect(ui.Slider1[i], &ChannelSlider::changed, this, [this, i] { Slider1_Change(i); });
        connect(ui.Slider1[i], &ChannelSlider::scrolled, this, [this, i] { Slider1_Scroll(i); });
    }
    const auto toTwips = [this](QPointF p) {
        return QPointF(p.x() * m_TwipsPerPixel, p.y() * m_TwipsPerPixel);
    };
    connect(ui.ForeBar, &Canvas::mousePressed, this, [=](Qt::MouseButton button, QPointF p) {
        const QPointF t = toTwips(p);
        foreBar_MouseDown(button, float(t.x()), float(t.y()));
    });
    connect(ui.ForeBar, &Canvas::mouseMoved, this, [=](Qt::MouseButtons buttons, QPointF p) {
        const QPointF t = toTwips(p);
        foreBar_MouseMove(buttons, float(t.x()), float(t.y()));
    });
    connect(ui.ForeBar, &Canvas::mouseReleased, this, [=](Qt::MouseButton button, QPointF p) {
        const QPointF t = toTwips(p);
        ForeBar_MouseUp(button, float(t.x()), float(t.y()));
    });
    connect(ui.BackBar, &Canvas::mousePressed, this, [=](Qt::MouseButton button, QPointF p) {
        const QPointF t = toTwips(p);
        backBar_MouseDown(button, float(t.x()), float(t.y()));
    });
    connect(ui.BackBar, &Canvas::mouseMoved, this, [=](Qt::MouseButtons buttons, QPointF p) {
        const QPointF t = toTwips(p);
        backBar_MouseMove(buttons, float(t.x()), float(t.y()));
    });
    connect(ui.BackBar, &Canvas::mouseReleased, this, [=](Qt::MouseButton button, QPointF p) {
        const QPointF t = toTwips(p);
        BackBar_MouseUp(button, float(t.x()), float(t.y()));
    });
    for (int i = 0; i < 2; ++i)
        connect(ui.ColorCode[i], &QLineEdit::textChanged, this, [this, i] { ColorCode_Change(i); });

    // Qt inverts a checkable item's mark before triggered(); these handlers invert it themselves.
    const auto onInvertingItem = [this](QAction* action, void (Tintara::*handler)()) {
        connect(action, &QAction::triggered, this, [this, action, handler] {
            {
                const QSignalBlocker blocker(action);
                action->setChecked(!action->isChecked());
            }
            (this->*handler)();
        });
    };
    onInvertingItem(ui.w216, &Tintara::w216_Click);
    onInvertingItem(ui.fauto, &Tintara::fauto_Click);
    onInvertingItem(ui.bmpbg, &Tintara::bmpbg_Click);

    connect(ui.FAutoCK, &QCheckBox::toggled, this, [this] { FAutoCK_Click(); });
    for (int i = 0; i < 4; ++i)
        connect(ui.Bright[i], &QPushButton::clicked, this, [this, i] { Bright_Click(i); });
    connect(ui.LoadBGPic, &QAction::triggered, this, [this] { LoadBGPic_Click(); });
    connect(ui.Picture1, &Canvas::doubleClicked, this, [this] { Picture1_DblClick(); });
    connect(ui.Picture1, &Canvas::urlsDropped, this,
            [this](const QList<QUrl>& urls) { Picture1_OLEDragDrop(urls); });
    // activated also comes when the user chooses the set already chosen.
    connect(ui.ColorCmbo, &QComboBox::activated, this, [this] { ColorCmbo_Click(); });
    connect(ui.AddBtn, &QPushButton::clicked, this, [this] { AddBtn_Click(); });
    connect(ui.DelList, &QPushButton::clicked, this, [this] { DelList_Click(); });
    connect(ui.SaveColor, &QAction::triggered, this, [this] { SaveColor_Click(); });
    connect(ui.HTMLBtn, &QPushButton::clicked, this, [this] { HTMLBtn_Click(); });
    connect(ui.genhtml, &QAction::triggered, this, [this] { genhtml_Click(); });
    connect(ui.copyf, &QAction::triggered, this, [this] { copyf_Click(); });
    connect(ui.copyb, &QAction::triggered, this, [this] { copyb_Click(); });
    connect(ui.About, &QAction::triggered, this, [this] { About_Click(); });
}

QString Tintara::channelName(int Index)
{
    static const char* const names[6] = {"前景 赤", "前景 緑", "前景 青",
                                         "背景 赤", "背景 緑", "背景 青"};
    return QString::fromUtf8(names[Index]);
}

void Tintara::describeControls()
{
    TintaraUi& ui = m_ui;
    for (int i = 0; i < 6; ++i) {
        ui.Slider1[i]->setAccessibleName(channelName(i));
        ui.Label2[i]->setAccessibleName(channelName(i));
        ui.Label2[i]->setBuddy(ui.Slider1[i]);
        Slider1_Change(i);
    }
    ui.lbl[0]->setAccessibleName(QStringLiteral("前景"));
    ui.lbl[1]->setAccessibleName(QStringLiteral("背景"));
    const QString codeNames[2] = {QStringLiteral("前景色コード"), QStringLiteral("背景色コード")};
    for (int i = 0; i < 2; ++i) {
        ui.ColorCode[i]->setAccessibleName(codeNames[i]);
        ui.lbl[2 + i]->setAccessibleName(codeNames[i]);
        ui.lbl[2 + i]->setBuddy(ui.ColorCode[i]);
    }
    const QString brightNames[4] = {QStringLiteral("前景を明るく"), QStringLiteral("前景を暗く"),
                                    QStringLiteral("背景を明るく"), QStringLiteral("背景を暗く")};
    for (int i = 0; i < 4; ++i)
        ui.Bright[i]->setAccessibleName(brightNames[i]);

    // The bars and the preview take no keyboard focus: the sliders, the menu and the code boxes
    // do all that they do.
    ui.ForeBar->setAccessibleName(QStringLiteral("前景色バー"));
    ui.BackBar->setAccessibleName(QStringLiteral("背景色バー"));
    const QString barHelp = QStringLiteral("クリックかドラッグで色を選びます");
    ui.ForeBar->setAccessibleDescription(barHelp);
    ui.BackBar->setAccessibleDescription(barHelp);
    ui.Picture1->setAccessibleName(QStringLiteral("プレビュー"));
    ui.Picture1->setAccessibleDescription(
        QStringLiteral("背景色の上に文字色で見本を表示します。画像ファイルをドロップすると背景に"
                       "なり、ダブルクリックで切り替えます"));

    ui.Frame1->setAccessibleName(QStringLiteral("色の調整"));
    ui.FAutoCK->setAccessibleName(QStringLiteral("前景色自動"));
    ui.ColorCmbo->setAccessibleName(QStringLiteral("色セット"));
    ui.AddBtn->setAccessibleName(QStringLiteral("色セットを追加"));
    ui.DelList->setAccessibleName(QStringLiteral("色セットを削除"));
    ui.HTMLBtn->setAccessibleName(QStringLiteral("HTML生成"));
    menuBar()->setAccessibleName(QStringLiteral("メニュー"));
}

void Tintara::orderTabStops()
{
    const TintaraUi& ui = m_ui;
    // In reading order: the row at the top, the foreground and then the background group, and
    // the codes and the HTML button under the preview.
    const QList<QWidget*> order = {
        ui.FAutoCK,    ui.ColorCmbo, ui.AddBtn,       ui.DelList,      ui.Slider1[0], ui.Slider1[1],
        ui.Slider1[2], ui.Bright[0], ui.Bright[1],    ui.Slider1[3],   ui.Slider1[4], ui.Slider1[5],
        ui.Bright[2],  ui.Bright[3], ui.ColorCode[0], ui.ColorCode[1], ui.HTMLBtn};
    // Buttons and sliders take Tab also where the style would leave them out.
    for (QWidget* widget : order)
        widget->setFocusPolicy(Qt::StrongFocus);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The colours are what the window is for: the keys move the foreground red slider first.
    ui.Slider1[0]->setFocus();
}

QString Tintara::readSetting(const QString& section, const QString& key,
                             const QString& defaultValue)
{
    return m_services.settings->read(kApplication, section, key, defaultValue);
}

void Tintara::writeSetting(const QString& section, const QString& key, const QString& value)
{
    m_services.settings->write(kApplication, section, key, value);
}

void Tintara::Form_Load()
{
    // The preview is drawn once, after show() and still before the first paint: drawn earlier,
    // with fonts of four sizes to load, it would only hold the window back.
    m_previewHeld = true;
    m_SavedAuto = 0;
    SetBackgroundMode(true);
    SetWeb216Mode(false);
    m_ui.Picture1->move(m_ui.Picture1->x(), 0);
    m_ui.Picture1->move(0, m_ui.Picture1->y());
    m_BackPicture = QPixmap();

    loadSettings();

    m_TwipsPerPixel = tintara::twipsPerPixel(m_ui.ForeBar);
    show();
    m_previewHeld = false;
    // A stored place is checked again against the frame, once the window manager has drawn one.
    if (m_checkPlacement)
        onFirstExposure(windowHandle(), this, [this] { keepTitleBarReachable(); });
    DrawPreview();
    DrawColorBar(true);
    DrawColorBar(false);
}

QStringList Tintara::storedColorSetEntries()
{
    QStringList entries;
    for (int i = 0;; ++i) {
        const QString entry = readSetting(QStringLiteral("ColorList"), colorListKey(i), QString());
        if (entry.isEmpty())
            return entries;
        entries << entry;
    }
}

void Tintara::loadSettings()
{
    for (const QString& entry : storedColorSetEntries())
        FillColorCombo(entry);

    for (int i = 0; i < 6; ++i) {
        const int fallback = i < 3 ? 0 : 255;
        const QString text = readSetting(QStringLiteral("color"), QLatin1String(kChannelKeys[i]),
                                         QString::number(fallback));
        m_ui.Slider1[i]->setValue(settings::toChannel(text, fallback));
    }
    // A slider set to the value it already holds reports no change.
    for (int i = 0; i < 6; ++i)
        Slider1_Change(i);

    loadWindowPosition();

    m_ui.FAutoCK->setChecked(
        settings::toCheckValue(
            readSetting(QStringLiteral("param"), QStringLiteral("fauto"), QStringLiteral("0")),
            0) == 1);

    if (settings::toTruth(
            readSetting(QStringLiteral("pass"), QStringLiteral("w216"), settings::fromTruth(true)),
            true))
        w216_Click();
}

void Tintara::loadWindowPosition()
{
    // With nothing stored, or nothing usable, the window stays where the system places it; an
    // explicit move, even to where it already is, would stop the system from placing it.
    const float top = settings::toPosition(
        readSetting(QStringLiteral("window"), QStringLiteral("Top"), QString()), qQNaN());
    const float left = settings::toPosition(
        readSetting(QStringLiteral("window"), QStringLiteral("Left"), QString()), qQNaN());
    if (qIsNaN(top) && qIsNaN(left))
        return;
    // The stored place is the client area's: before a window is shown, some systems place it by
    // its client area and others by its frame, but its geometry is its client area on every one.
    layout()->activate();
    QRect client = geometry();
    if (!qIsNaN(top))
        client.moveTop(twipsToPixels(top, m_TwipsPerPixel));
    if (!qIsNaN(left))
        client.moveLeft(twipsToPixels(left, m_TwipsPerPixel));
    // The frame is not known until the window is shown; until then the client area stands for it.
    const QList<QRect> screens = availableScreens();
    m_placeWhole = !titleBarReachable(client, screens);
    if (m_placeWhole)
        client.moveTopLeft(placedWholeOnNearestScreen(client, screens));
    setGeometry(client);
    m_checkPlacement = true;
}

void Tintara::keepTitleBarReachable()
{
    const QRect frame = frameGeometry();
    const QList<QRect> screens = availableScreens();
    if (m_placeWhole || !titleBarReachable(frame, screens))
        move(placedWholeOnNearestScreen(frame, screens));
}

QPoint Tintara::restoredPosition() const
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return normalGeometry().topLeft();
    return geometry().topLeft();
}

void Tintara::Form_QueryUnload()
{
    // The list of sets is merged into the store as it is now; everything else is this window's.
    m_services.settings->reload();
    const QPoint position = restoredPosition();
    writeSetting(QStringLiteral("window"), QStringLiteral("Top"),
                 settings::fromNumber(float(position.y()) * m_TwipsPerPixel));
    writeSetting(QStringLiteral("window"), QStringLiteral("Left"),
                 settings::fromNumber(float(position.x()) * m_TwipsPerPixel));
    // While the picture background hides the check box, the switch is kept aside, not off.
    const int automatic = m_SolidBack ? (m_ui.FAutoCK->isChecked() ? 1 : 0) : m_SavedAuto;
    writeSetting(QStringLiteral("param"), QStringLiteral("fauto"), QString::number(automatic));
    writeSetting(QStringLiteral("pass"), QStringLiteral("w216"),
                 settings::fromTruth(m_ui.w216->isChecked()));
    for (int i = 0; i < 6; ++i) {
        writeSetting(QStringLiteral("color"), QLatin1String(kChannelKeys[i]),
                     QString::number(m_ui.Slider1[i]->value()));
    }
    writeColorSets();
    if (!commitSettings())
        qWarning("Tintara: the settings could not be saved to %s",
                 qUtf8Printable(m_settingsProblem));
}

void Tintara::writeColorSets()
{
    QList<ColorSetEntry> stored;
    for (const QString& entry : storedColorSetEntries()) {
        if (const auto set = parseColorSetEntry(entry))
            stored << *set;
    }
    const QList<ColorSetEntry> sets = mergedColorSets(stored, m_setChanges);
    for (int i = 0; i < sets.size(); ++i) {
        writeSetting(QStringLiteral("ColorList"), colorListKey(i),
                     colorSetEntry(sets[i].name, sets[i].pair));
    }
    writeSetting(QStringLiteral("ColorList"), colorListKey(int(sets.size())), QString());
}

bool Tintara::commitSettings()
{
    QString where;
    if (!m_services.settings->commit(&where)) {
        m_settingsProblem = where;
        return false;
    }
    m_settingsProblem.clear();
    // Written: the changes are in the list the store holds.
    m_setChanges.clear();
    return true;
}

void Tintara::warnSettingsProblem()
{
    QMessageBox::warning(this, QStringLiteral("Tintara"),
                         QStringLiteral("設定を保存できませんでした。\n%1").arg(m_settingsProblem));
}

void Tintara::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    // A signal may come with nobody at the screen; the user who closed the window is there.
    if (!m_settingsProblem.isEmpty() && !m_terminating)
        warnSettingsProblem();
    event->accept();
}

void Tintara::closeForTermination()
{
    // Dialogs open over the window go first, as if cancelled, so that the program can end.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QWidget* owner = window->parentWidget();
        while (owner && owner != this)
            owner = owner->parentWidget();
        if (owner && window->isVisible())
            window->close();
    }
    m_terminating = true;
    close();
}
