#include "about/frmabout.h"

#include "buildinfo.h"
#include "platform/programicon.h"
#include "platform/twips.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace tintara {

namespace {

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3210;
constexpr int kIconSize = 32;

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The system this program was built for.
constexpr const char* kSystem =
#if defined(Q_OS_WIN)
    "Windows";
#elif defined(Q_OS_MACOS)
    "macOS";
#elif defined(Q_OS_LINUX)
    "Linux";
#elif defined(Q_OS_FREEBSD)
    "FreeBSD";
#else
    "Unix";
#endif

} // namespace

frmAbout::frmAbout(WebAddressOpener openAddress, TwipsScale twips, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
    , m_openAddress(std::move(openAddress))
    , m_twips(twips)
{
    const auto at = [this](int left, int top, int width, int height) {
        return m_twips.rect(left, top, width, height);
    };
    setFixedSize(at(0, 0, kClientWidth, kClientHeight).size());

    m_ui.picIcon = new QLabel(this);
    m_ui.picIcon->setGeometry(at(240, 240, 540, 540));
    m_ui.picIcon->setAlignment(Qt::AlignCenter);

    m_ui.lblTitle = new QLabel(this);
    m_ui.lblTitle->setGeometry(at(1050, 240, 3885, 480));
    QFont titleFont = m_ui.lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_ui.lblTitle->setFont(titleFont);

    m_ui.lblVersion = new QLabel(this);
    m_ui.lblVersion->setGeometry(at(1050, 780, 3885, 225));
    m_ui.lblDescription = new QLabel(this);
    m_ui.lblDescription->setGeometry(at(1050, 1125, 4620, 825));
    m_ui.lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_ui.Label2 = new QLabel(text(build::kAuthorPage), this);
    m_ui.Label2->setGeometry(at(1035, 1965, 4620, 255));
    m_ui.Label2->setTextFormat(Qt::PlainText);
    QPalette linkPalette = m_ui.Label2->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_ui.Label2->setPalette(linkPalette);
    m_ui.Label2->setCursor(Qt::PointingHandCursor);
    // The address is a link: Tab reaches it, Enter or Space opens it, and it is underlined while
    // it has the focus.
    m_ui.Label2->setFocusPolicy(Qt::StrongFocus);
    m_ui.Label2->setAccessibleName(QStringLiteral("作者のウェブページ"));
    m_ui.Label2->setAccessibleDescription(m_ui.Label2->text());
    m_ui.Label2->installEventFilter(this);

    // Line1(0) is 2 pixels wide and white, Line1(1) a single grey pixel over its top row.
    const int lineTop = m_twips.toPixels(2325);
    const QColor lineColors[2] = {Qt::white, QColor(128, 128, 128)};
    const int lineLeft[2] = {105, 75};
    const int lineRight[2] = {5654, 5639};
    const int lineWidth[2] = {2, 1};
    for (int i = 0; i < 2; ++i) {
        m_ui.Line1[i] = new QFrame(this);
        const int left = m_twips.toPixels(lineLeft[i]);
        const int right = m_twips.toPixels(lineRight[i]);
        m_ui.Line1[i]->setGeometry(left, lineTop, right - left + 1, lineWidth[i]);
        m_ui.Line1[i]->setAutoFillBackground(true);
        QPalette palette = m_ui.Line1[i]->palette();
        palette.setColor(QPalette::Window, lineColors[i]);
        m_ui.Line1[i]->setPalette(palette);
    }

    m_ui.cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_ui.cmdOK->setGeometry(at(4275, 2625, 1310, 345));
    m_ui.cmdOK->setDefault(true);
    m_ui.cmdOK->setAccessibleName(QStringLiteral("OK"));

    m_ui.picIcon->setAccessibleName(QStringLiteral("Tintaraのアイコン"));
    for (QFrame* line : m_ui.Line1)
        line->setAccessibleName(QStringLiteral("区切り線"));
    setTabOrder(m_ui.Label2, m_ui.cmdOK);
    m_ui.cmdOK->setFocus();
    // Esc already rejects a dialog, which closes it as OK does.
    connect(m_ui.cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    const QString title = text(build::kApplicationTitle);
    setWindowTitle(title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    m_ui.lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QString::number(build::kVersionMajor) +
                             u'.' + QString::number(build::kVersionMinor) + u'.' +
                             QString::number(build::kVersionRevision));
    m_ui.lblTitle->setText(QStringLiteral("Tintara for ") + QLatin1String(kSystem));

    const QString crLf = QStringLiteral("\r\n");
    m_ui.lblDescription->setText(QStringLiteral("作者：") + crLf + QStringLiteral("    ") +
                                 text(build::kAuthorName) + QStringLiteral("（") +
                                 text(build::kAuthorEmail) + QStringLiteral("）"));
    m_ui.lblDescription->setText(m_ui.lblDescription->text() + crLf + QStringLiteral("    ") +
                                 text(build::kRightsNotice));

    // The icon's standard size, drawn from the PNG made for it at every device pixel ratio.
    m_ui.picIcon->setPixmap(
        programIcon().pixmap(QSize(kIconSize, kIconSize), m_ui.picIcon->devicePixelRatioF()));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::Label2_Click()
{
    OpenDocument(m_ui.Label2->text());
}

void frmAbout::OpenDocument(const QString& address)
{
    // Nothing to open it with is no concern of the user's: the result is not reported.
    if (m_openAddress)
        m_openAddress(QUrl(address, QUrl::TolerantMode));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_ui.Label2)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_ui.Label2->rect().contains(mouse->pos())) {
            Label2_Click();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Label2_Click();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        QFont font = m_ui.Label2->font();
        font.setUnderline(event->type() == QEvent::FocusIn);
        m_ui.Label2->setFont(font);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tintara
