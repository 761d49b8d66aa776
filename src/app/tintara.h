#pragma once

#include "check/verdict.h"
#include "model/colorhistory.h"
#include "model/colormodel.h"
#include "platform/twips.h"
#include "platform/webaddress.h"
#include "sets/colorset.h"

#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tintara {
class Canvas;
class ChannelSlider;
class ContrastTableWindow;
class FileChooser;
class PictureAnalysis;
class PreviewRenderer;
class ScreenColorPicker;
class SettingsStore;
class TerminationRequests;
} // namespace tintara

// The window's controls, named as in the window's design. Array members are the control arrays;
// Label2 holds the design indices 0, 1, 2, 6, 7, 8 in that order.
struct TintaraUi
{
    QPushButton* AddBtn = nullptr;
    QPushButton* DelList = nullptr;
    // Each item's data is its pair of codes, "#RRGGBB,#RRGGBB".
    QComboBox* ColorCmbo = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QPushButton*, 4> Bright{};
    tintara::Canvas* BackBar = nullptr;
    tintara::Canvas* ForeBar = nullptr;
    std::array<tintara::ChannelSlider*, tintara::kChannelCount> Slider1{};
    std::array<QLabel*, tintara::kChannelCount> cval{};
    std::array<QLabel*, tintara::kChannelCount> Label2{};
    std::array<QLabel*, 4> lbl{};
    QPushButton* HTMLBtn = nullptr;
    std::array<QLineEdit*, 2> ColorCode{};
    QCheckBox* FAutoCK = nullptr;
    tintara::Canvas* Picture1 = nullptr;

    QMenu* func = nullptr;
    QAction* LoadBGPic = nullptr;
    QAction* bmpbg = nullptr;
    QAction* w216 = nullptr;
    QAction* fauto = nullptr;
    QAction* copyf = nullptr;
    QAction* copyb = nullptr;
    QAction* genhtml = nullptr;
    QAction* SaveColor = nullptr;
    QAction* About = nullptr;
};

// The contrast checks: their menu and the status line below the design.
struct CheckUi
{
    QMenu* menu = nullptr;
    QAction* fitText = nullptr;
    QAction* fitBack = nullptr;
    QAction* aaa = nullptr;
    QAction* copyVerdict = nullptr;
    QAction* copyCss = nullptr;
    QAction* contrastTable = nullptr;
    QAction* pickText = nullptr;
    QAction* pickBack = nullptr;
    // The preview as seen with each colour vision, by tintara::Vision; exactly one is checked.
    std::array<QAction*, 5> vision{};
    // On the status line while a simulation is on: which one.
    QLabel* seenAs = nullptr;
    QLabel* status = nullptr;
};

// The menu 編集: undo and redo of colour changes, swapping the two colours, and colours pasted in
// CSS notation.
struct HistoryUi
{
    QMenu* menu = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* swap = nullptr;
    QAction* pasteText = nullptr;
    QAction* pasteBack = nullptr;
};

// What the window needs from the platform. Members left empty get the real implementations.
struct TintaraServices
{
    std::unique_ptr<tintara::SettingsStore> settings;
    std::unique_ptr<tintara::FileChooser> files;
    tintara::WebAddressOpener openUrl;
    // Requests to end the program that come from outside it: by default SIGTERM, SIGINT, SIGHUP.
    std::unique_ptr<tintara::TerminationRequests> termination;
    // Takes a colour from anywhere on the screen for the eyedropper commands.
    std::unique_ptr<tintara::ScreenColorPicker> screenPicker;
    // Whether the platform tells where the window is; by default every one but Wayland does.
    std::optional<bool> windowPositionKnown;
};

// The main window: the controls of the design and the menus. The colours and their modes are the
// model's; every action of the user is one operation on it, and every control, the preview and the
// status line show what it announces.
class Tintara : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tintara(QWidget* parent = nullptr);
    explicit Tintara(TintaraServices services, QWidget* parent = nullptr);
    ~Tintara() override;

    const TintaraUi& ui() const { return m_ui; }
    const CheckUi& checkUi() const { return m_check; }
    const HistoryUi& historyUi() const { return m_historyUi; }
    const tintara::ColorModel& model() const { return m_model; }

    // Start-up: reads the settings, sets every control and shows the window. Closing the window
    // writes the settings back.
    void Form_Load();

    int FC(int i) const { return m_model.channel(i); }
    int BC(int i) const { return m_model.channel(tintara::kBackFirst + i); }

    QString m_GenHTML;

    tintara::TwipsScale twips() const { return m_twips; }
    // The picture tiled behind the preview, and its step in twips.
    const QPixmap& backPicture() const { return m_BackPicture; }
    int tileWidth() const { return m_TileWidth; }
    int tileHeight() const { return m_TileHeight; }

    QStringList colorSetNames() const;
    // Saves the pair under the name as the save dialog does: the set of that name, letter case
    // included, takes the colours in its place, or a set is added at the end. The list goes to
    // the store at once. Gives the set's position; no set is chosen.
    int saveColorSet(const QString& name, const QString& pair);
    // Chooses a set as the user does, also the one already chosen.
    void selectColorSet(int index);

    // Takes a picture file as the preview's background, as a drop of the file does: one that is no
    // readable picture changes nothing.
    void openPicture(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Construction and start-up: tintara.cpp
    void createControls();
    void createMenu();
    void describeControls();
    void orderTabStops();
    QRect designRect(int left, int top, int width, int height) const;
    // Qt inverts a checkable item's mark before triggered(); the handler inverts it itself.
    void connectInvertingItem(QAction* action, void (Tintara::*handler)());
    // Every change of the model, shown by each control that shows it, in one order.
    void showModel(tintara::ColorModel::Changes what);

    // Channels: tintara_channels.cpp
    void connectChannels();
    void showChannels();
    void Slider1_Change(int Index);
    void Slider1_Scroll(int Index);
    // The channel of a slider as a user names it: "前景 赤" ... "背景 青".
    static QString channelName(int Index);

    // Preview, colour bars, codes and web-safe mode: tintara_preview.cpp
    using BarHandler = void (Tintara::*)(Qt::MouseButtons, float, float);
    void connectPreview();
    void connectBar(tintara::Canvas* bar, BarHandler down, BarHandler moved, BarHandler up);
    void DrawPreview();
    void showCodes();
    void DrawColorBar(bool isFore);
    void PickBarColor(bool isFore, float X, float Y);
    void foreBar_MouseDown(Qt::MouseButtons Button, float X, float Y);
    void foreBar_MouseMove(Qt::MouseButtons Button, float X, float Y);
    void ForeBar_MouseUp(Qt::MouseButtons Button, float X, float Y);
    void backBar_MouseDown(Qt::MouseButtons Button, float X, float Y);
    void backBar_MouseMove(Qt::MouseButtons Button, float X, float Y);
    void BackBar_MouseUp(Qt::MouseButtons Button, float X, float Y);
    void ColorCode_Change(int Index);
    void w216_Click();
    void showWeb216Mode();

    // Colour tools: tintara_tools.cpp
    void connectTools();
    void showAutomaticText();
    void showPictureMode();
    void FAutoCK_Click();
    void fauto_Click();
    void Bright_Click(int Index);
    void LoadBGPic_Click();
    void LoadBackgroundPicture(const QString& path);
    void Picture1_DblClick();
    // A drop on the preview: the first local file of the list becomes the background picture.
    void Picture1_OLEDragDrop(const QList<QUrl>& urls);
    void bmpbg_Click();

    // Colour sets: tintara_sets.cpp. ColorCmbo_Click runs for the user's choice, also of the set
    // already chosen.
    void connectSets();
    void FillColorCombo(const QString& entry);
    void ColorCmbo_Click();
    void AddBtn_Click();
    void SaveColor_Click();
    void DelList_Click();
    QString colorSetName(int index) const;
    int addColorSet(const QString& name, const QString& pair);
    // Writes the list of sets as the store holds it now, with this window's changes applied, so
    // that no other window's sets are lost; then commits, and says so if that fails.
    void storeColorSetChange(const tintara::ColorSetChange& change);
    void showContrastTable();
    void updateContrastTable(bool evenHidden = false);

    // Output: tintara_output.cpp
    void connectOutput();
    void HTMLBtn_Click();
    void genhtml_Click();
    void copyf_Click();
    void copyb_Click();
    void About_Click();

    // Contrast checks: tintara_check.cpp
    void createCheck();
    void connectCheck();
    // The verdict follows the colours, the picture and the target, never a drawing.
    void updateVerdict();
    void showVerdict();
    void showStatus(const QStringList& parts);
    void fitToTarget(tintara::Side side);
    void copyVerdict();
    void copyAsCss();
    void setAaaTarget(bool on);
    void showVision();
    void pickFromScreen(tintara::Side side);
    void takeScreenColor(const QColor& color);
    // The background picture as the preview shows it with the chosen vision; none while the
    // background is a plain colour.
    const QPixmap* seenPicture();

    // Undo and redo: tintara_history.cpp. Each user action that changes the colours is a step;
    // a drag is one step from press to release, and a run of keys on one slider is one step.
    void createHistory();
    void connectHistory();
    // Records what the last action changed as one step; keys on a slider join its run. Within a
    // drag the step waits for the release.
    void endStep(int runSlider = -1);
    void stepBack(bool undo);
    void showHistory();
    // Swapping and pasting: tintara_edit.cpp
    void createEdit();
    void swapColors();
    // A colour read from the clipboard's text in CSS notation, applied as a typed code is.
    void pasteColor(tintara::Side side);
    void showEditCommands();

    // Settings and the window's place: tintara_settings.cpp
    void connectSettings();
    void loadSettings();
    void loadWindowPosition();
    void keepTitleBarReachable();
    // The client area's top-left as the window is when not maximised.
    QPoint restoredPosition() const;
    // Shutdown: writes the settings back. Runs from closeEvent for every close.
    void Form_QueryUnload();
    void closeForTermination();
    tintara::SettingsStore& store() const { return *m_services.settings; }
    // The colour-set entries in the store, up to the first empty one.
    QStringList storedColorSetEntries() const;
    void writeColorSets();
    bool commitSettings();
    void warnSettingsProblem();

    // Where ColorCmbo keeps each set's whole name; its text may be shortened to fit the box.
    static constexpr int kSetNameRole = Qt::UserRole + 1;

    TintaraServices m_services;
    tintara::ColorModel m_model;
    tintara::ColorHistory m_history;
    TintaraUi m_ui;
    CheckUi m_check;
    HistoryUi m_historyUi;
    std::unique_ptr<tintara::PreviewRenderer> m_preview;
    tintara::TwipsScale m_twips;
    QString m_settingsProblem;
    QString m_settingsReason;
    bool m_terminating = false;
    // A stored place is checked against the frame once it is shown; one that had to be moved
    // before is then moved for the whole frame to be seen.
    bool m_checkPlacement = false;
    bool m_placeWhole = false;
    // Nothing is drawn before the window is first shown.
    bool m_shown = false;
    // Changes to the list of sets not yet in the store.
    QList<tintara::ColorSetChange> m_setChanges;
    // A press of the left button on a colour bar whose release has not come yet.
    bool m_barHeld = false;
    // Focus moves while the window's widgets are destroyed, after this class's part is gone.
    QMetaObject::Connection m_focusWatch;
    tintara::PictureAnalysis* m_analysis = nullptr;
    tintara::ContrastTableWindow* m_table = nullptr;
    tintara::Verdict m_verdict;
    // The status line's texts measured in m_statusWidthsFont.
    QHash<QString, qreal> m_statusWidths;
    QFont m_statusWidthsFont;
    // Said on the status line until the colours next change.
    QString m_checkNote;
    // Which colour the screen picker is taking.
    tintara::Side m_picking = tintara::Side::Text;
    // The background picture as seen with m_seenVision, made once for each picture and vision.
    QPixmap m_seenPicture;
    qint64 m_seenFrom = 0;
    tintara::Vision m_seenVision{};

    // Fields of the window's design that the model does not hold, in their declared order
    // (m_GenHTML is public above).
    QPixmap m_BackPicture;
    int m_TileWidth = 0;
    int m_TileHeight = 0;
    QString m_BackFile;
    // While the window writes the codes of the colours into their boxes, the boxes' changes are
    // not typing.
    bool m_Updating = false;
};
