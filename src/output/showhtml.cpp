#include "output/showhtml.h"

#include "platform/clipboard.h"
#include "platform/filechooser.h"
#include "platform/savefile.h"
#include "platform/twips.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace tintara {

namespace {

// Design sizes in twips.
constexpr int kClientWidth = 5565;
constexpr int kClientHeight = 4380;
constexpr int kMinWidth = 4200;
constexpr int kMinHeight = 3000;
constexpr int kStatusBarHeight = 225;

const QString kDefaultFileName = QStringLiteral("tintara.htm");

} // namespace

ShowHTML::ShowHTML(FileChooser& files, TwipsScale twips, QWidget* parent)
    : QDialog(parent)
    , m_files(files)
    , m_twips(twips)
{
    setWindowTitle(QStringLiteral("Show HTML"));

    m_ui.Text1 = new QPlainTextEdit(this);
    m_ui.Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ui.Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ui.Text1->setTabChangesFocus(true);
    m_ui.Command1 = new QPushButton(QStringLiteral("コピー"), this);
    m_ui.Command1->setGeometry(m_twips.rect(135, 2730, 1920, 345));
    m_ui.Command2 = new QPushButton(QStringLiteral("保存"), this);
    m_ui.Command2->setGeometry(m_twips.rect(2490, 2730, 1920, 345));
    // Return belongs to the text box, never to a button.
    m_ui.Command1->setAutoDefault(false);
    m_ui.Command2->setAutoDefault(false);

    m_ui.StatusBar1 = new QStatusBar(this);
    auto* panel = new QLabel(m_ui.StatusBar1);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_ui.StatusBar1->addWidget(panel, 1);

    m_ui.Text1->setAccessibleName(QStringLiteral("HTML文書"));
    m_ui.Command1->setAccessibleName(QStringLiteral("HTMLをコピー"));
    m_ui.Command2->setAccessibleName(QStringLiteral("HTMLを保存"));
    m_ui.StatusBar1->setAccessibleName(QStringLiteral("ステータスバー"));
    panel->setAccessibleName(QStringLiteral("状態"));
    m_ui.Command1->setFocusPolicy(Qt::StrongFocus);
    m_ui.Command2->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(m_ui.Text1, m_ui.Command1);
    setTabOrder(m_ui.Command1, m_ui.Command2);

    connect(m_ui.Command1, &QPushButton::clicked, this, &ShowHTML::Command1_Click);
    connect(m_ui.Command2, &QPushButton::clicked, this, &ShowHTML::Command2_Click);

    setMinimumSize(m_twips.toPixelsAtLeast(kMinWidth), m_twips.toPixelsAtLeast(kMinHeight));
    resize(m_twips.toPixels(kClientWidth), m_twips.toPixels(kClientHeight));
}

QString ShowHTML::text() const
{
    // The raw text keeps no-break spaces that toPlainText() would turn into plain ones.
    QString text = m_ui.Text1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void ShowHTML::Form_Load(const QString& generated)
{
    QString shown = generated;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_ui.Text1->setPlainText(shown);
    m_ui.Text1->setFocus();
    m_savePath = kDefaultFileName;
}

void ShowHTML::Form_Resize()
{
    // The smallest size is also the widget's minimum, so Qt keeps to it; this catches a window
    // system that sets a smaller one anyway. The corrected size comes back as a new resize.
    const QSize smallest = minimumSize();
    if (width() < smallest.width() || height() < smallest.height()) {
        resize(size().expandedTo(smallest));
        return;
    }
    const int W = m_twips.toTwips(width());
    const int H = m_twips.toTwips(height());
    m_ui.Text1->setGeometry(m_twips.rect(100, 100, W - 300, H - 1200));

    const int TW = W - 300;
    const int TH = H - 1200;
    const int CW = m_twips.toTwips(m_ui.Command1->width());
    m_ui.Command1->move(m_twips.toPixels(TW - 2 * CW), m_twips.toPixels(TH + 200));
    m_ui.Command2->move(m_twips.toPixels(TW + 100 - CW), m_twips.toPixels(TH + 200));

    // Docked along the bottom; never so low that its panel is cut off.
    const int barHeight =
        std::max(m_twips.toPixels(kStatusBarHeight), m_ui.StatusBar1->sizeHint().height());
    m_ui.StatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);
}

void ShowHTML::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void ShowHTML::Command1_Click()
{
    copyPlainText(text());
}

void ShowHTML::Command2_Click()
{
    SaveFileRequest request;
    request.path = m_savePath;
    request.nameFilters = QStringList{QStringLiteral("HTMLﾌｧｲﾙ (*.htm)")};
    request.defaultSuffix = QStringLiteral("htm");
    const QString path = m_files.chooseSaveFile(this, request);
    if (path.isEmpty())
        return;
    m_savePath = path;

    QString reason;
    if (!saveWholeFile(path, (text() + QStringLiteral("\r\n")).toLocal8Bit(), &reason)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("%1 に保存できませんでした。\n\n%2")
                                 .arg(QDir::toNativeSeparators(path), reason));
    }
}

} // namespace tintara
