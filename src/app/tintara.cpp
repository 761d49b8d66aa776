#include "app/tintara.h"

#include "app/settingkeys.h"
#include "buildinfo.h"
#include "check/picturecontrast.h"
#include "eyedropper/screencolorpicker.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/exposure.h"
#include "platform/filechooser.h"
#include "platform/programicon.h"
#include "platform/qttexts.h"
#include "platform/settingsstore.h"
#include "platform/terminationsignals.h"
#include "platform/uifont.h"
#include "preview/previewrenderer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QSignalBlocker>
#include <QTimer>

using namespace tintara;

namespace {

// Design size of the client area below the menu bar, in twips.
constexpr int kClientWidth = 10035;
constexpr int kClientHeight = 4620;

constexpr int kSliderLeft[kChannelCount] = {375, 1860, 3345, 405, 1890, 3375};
constexpr int kSliderTop[kChannelCount] = {375, 375, 360, 2175, 2190, 2190};
constexpr int kValueTop[kChannelCount] = {975, 1290, 1620, 2910, 3180, 3465};
constexpr int kBrightTop[4] = {990, 1470, 2865, 3345};
constexpr int kChannelNameLeft[kChannelCount] = {1020, 2535, 4035, 1050, 2565, 4065};
constexpr int kChannelNameTop[kChannelCount] = {150, 150, 150, 1950, 1950, 1950};

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
        m_services.settings =
            std::make_unique<NativeSettingsStore>(QStringLiteral("Tintara"), keys::sections());
    if (!m_services.files)
        m_services.files = std::make_unique<DialogFileChooser>();
    if (!m_services.openUrl)
        m_services.openUrl = &openWebAddress;
    if (!m_services.termination)
        m_services.termination = std::make_unique<TerminationSignals>();
    if (!m_services.screenPicker)
        m_services.screenPicker = std::make_unique<ScreenColorPicker>();
    if (!m_services.windowPositionKnown)
        m_services.windowPositionKnown =
            !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));

    useJapaneseUiFont();
    useJapaneseQtTexts();
    setWindowTitle(QStringLiteral("Tintara"));
    m_twips = TwipsScale::of(this);

    createControls();
    createMenu();
    createCheck();
    createHistory();
    createEdit();
    connectChannels();
    connectPreview();
    connectTools();
    connectSets();
    connectOutput();
    connectSettings();
    connectCheck();
    connectHistory();
    describeControls();
    orderTabStops();
    m_preview = std::make_unique<PreviewRenderer>(m_ui.Picture1->font(),
                                                  QString::fromUtf8(build::kHomePage));
    connect(&m_model, &ColorModel::changed, this, &Tintara::showModel);
    showChannels();
}

Tintara::~Tintara()
{
    disconnect(m_focusWatch);
}

QRect Tintara::designRect(int left, int top, int width, int height) const
{
    return m_twips.rect(left, top, width, height);
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

    for (int i = 0; i < kChannelCount; ++i) {
        ui.Slider1[i] = new ChannelSlider(ui.Frame1);
        ui.Slider1[i]->setGeometry(designRect(kSliderLeft[i], kSliderTop[i], 1500, 600));
        ui.Slider1[i]->setTickPosition(QSlider::TicksBelow);
        ui.Slider1[i]->setTickInterval(kWebSafeStep);
    }
    for (int i = 0; i < kChannelCount; ++i) {
        ui.cval[i] = new QLabel(QStringLiteral("0"), ui.Frame1);
        ui.cval[i]->setGeometry(designRect(390, kValueTop[i], 420, 195));
        // Right-aligned, so the number stays clear of the brightness button beside it.
        ui.cval[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    const QString channelNames[3] = {QStringLiteral("赤"), QStringLiteral("緑"),
                                     QStringLiteral("青")};
    for (int i = 0; i < kChannelCount; ++i) {
        ui.Label2[i] = new QLabel(channelNames[i % kBackFirst], ui.Frame1);
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

void Tintara::connectInvertingItem(QAction* action, void (Tintara::*handler)())
{
    connect(action, &QAction::triggered, this, [this, action, handler] {
        {
            const QSignalBlocker blocker(action);
            action->setChecked(!action->isChecked());
        }
        (this->*handler)();
    });
}

void Tintara::describeControls()
{
    TintaraUi& ui = m_ui;
    for (int i = 0; i < kChannelCount; ++i) {
        ui.Slider1[i]->setAccessibleName(channelName(i));
        ui.Label2[i]->setAccessibleName(channelName(i));
        ui.Label2[i]->setBuddy(ui.Slider1[i]);
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

void Tintara::Form_Load()
{
    // Nothing is drawn until the window is shown: drawn earlier, with fonts of four sizes to load,
    // the preview would only hold the window back.
    m_ui.Picture1->move(m_ui.Picture1->x(), 0);
    m_ui.Picture1->move(0, m_ui.Picture1->y());
    showWeb216Mode();
    showAutomaticText();
    showPictureMode();
    showChannels();

    loadSettings();

    m_twips = TwipsScale::of(m_ui.ForeBar);
    show();
    m_shown = true;
    // Decoding the icon's sizes, with the first look-up of the picture readers, is the slowest
    // step of a start: the icon follows the window onto the screen. The dialogs over the window
    // inherit it, and the program takes it, so that it goes to the display once.
    onFirstExposure(windowHandle(), this, [this] {
        setWindowIcon(programIcon());
        QGuiApplication::setWindowIcon(windowIcon());
    });
    // A stored place is checked again against the frame, once the window manager has drawn one.
    if (m_checkPlacement)
        onFirstExposure(windowHandle(), this, [this] { keepTitleBarReachable(); });
    showModel(ColorModel::Colors | ColorModel::TextBar | ColorModel::BackBar);
    m_history.reset(m_model.state());
    showHistory();
    // Said over the window once the window manager has placed it: a box placed before then is
    // centred on where the window was not.
    if (const QString notice = store().takeNotice(); !notice.isEmpty()) {
        onFirstExposure(windowHandle(), this, [this, notice] {
            QTimer::singleShot(0, this, [this, notice] {
                QMessageBox::warning(this, QStringLiteral("Tintara"), notice);
            });
        });
    }
}

void Tintara::showModel(ColorModel::Changes what)
{
    if (what & (ColorModel::Value | ColorModel::Colors))
        showChannels();
    if (what & ColorModel::Web216)
        showWeb216Mode();
    if (what & ColorModel::Automatic)
        showAutomaticText();
    if (what & ColorModel::Picture)
        showPictureMode();
    if (what & ColorModel::Vision)
        showVision();
    if (!m_shown)
        return;
    if (what & (ColorModel::Colors | ColorModel::Picture | ColorModel::Vision))
        DrawPreview();
    if (what & ColorModel::TextBar)
        DrawColorBar(true);
    if (what & ColorModel::BackBar)
        DrawColorBar(false);
    if (what & (ColorModel::Colors | ColorModel::Picture | ColorModel::Target)) {
        m_checkNote.clear();
        updateVerdict();
    }
    if (what & (ColorModel::Colors | ColorModel::Automatic | ColorModel::Picture)) {
        showEditCommands();
        updateContrastTable();
    }
}
