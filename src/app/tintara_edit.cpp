#include "app/tintara.h"

#include "color/csscolor.h"
#include "platform/clipboard.h"
#include "preview/colorcode.h"

#include <QAction>
#include <QMenu>

using namespace tintara;

void Tintara::createEdit()
{
    QMenu* menu = m_historyUi.menu;
    menu->addSeparator();
    auto item = [menu](const QString& caption, const QString& shortcut) {
        QAction* action = menu->addAction(caption);
        action->setShortcut(QKeySequence(shortcut));
        return action;
    };
    m_historyUi.swap =
        item(QStringLiteral("文字色と背景色を入れ替え"), QStringLiteral("Ctrl+Shift+X"));
    menu->addSeparator();
    m_historyUi.pasteText = item(QStringLiteral("文字色に貼り付け"), QStringLiteral("Ctrl+Alt+F"));
    m_historyUi.pasteBack = item(QStringLiteral("背景色に貼り付け"), QStringLiteral("Ctrl+Alt+B"));
    const QString pasteTip = QStringLiteral(
        "クリップボードの CSS の色 (#RRGGBB、rgb()、hsl()、oklch()、色の名前など) を使います");
    m_historyUi.pasteText->setStatusTip(pasteTip);
    m_historyUi.pasteBack->setStatusTip(pasteTip);
    connect(m_historyUi.swap, &QAction::triggered, this, &Tintara::swapColors);
    connect(m_historyUi.pasteText, &QAction::triggered, this, [this] { pasteColor(Side::Text); });
    connect(m_historyUi.pasteBack, &QAction::triggered, this,
            [this] { pasteColor(Side::Background); });
}

void Tintara::showEditCommands()
{
    // The text colour is the background's to decide while it is automatic, and a picture hides
    // the background colour: a swap could not be seen whole.
    QAction* swap = m_historyUi.swap;
    swap->setEnabled(!m_model.automaticText() && !m_model.pictureShown());
    swap->setStatusTip(
        m_model.automaticText() ? QStringLiteral("文字色が自動のあいだは入れ替えられません")
        : m_model.pictureShown() ? QStringLiteral("背景が画像のあいだは入れ替えられません")
                                 : QStringLiteral("文字色と背景色を入れ替えます"));
}

void Tintara::swapColors()
{
    if (!m_historyUi.swap->isEnabled())
        return;
    m_model.swapColors();
    endStep();
}

void Tintara::pasteColor(Side side)
{
    const bool text = side == Side::Text;
    const CssColorRead read = readCssColorFor(
        clipboardText(), text ? QStringLiteral("color") : QStringLiteral("background-color"));
    if (!read.color) {
        m_checkNote = QStringLiteral("貼り付けられません: ") + read.problem;
        showVerdict();
        return;
    }
    const CssColor& color = *read.color;
    // Text is seen over the background; a background over the page's white.
    const Rgb under = text ? m_model.background() : Rgb{kChannelMax, kChannelMax, kChannelMax};
    m_model.typeColor(side, color.alpha < 1 ? composited(color, under) : color.rgb);
    endStep();
    QStringList said{(text ? QStringLiteral("文字色に ") : QStringLiteral("背景色に ")) +
                     colorCode(m_model.color(side)) + QStringLiteral(" を貼り付けました")};
    if (color.mapped)
        said << QStringLiteral("sRGB の外の色を範囲内に写しました");
    if (color.alpha < 1)
        said << QStringLiteral("不透明度 %1% を%2に重ねました")
                    .arg(qRound(color.alpha * 100))
                    .arg(text ? QStringLiteral("背景色") : QStringLiteral("白"));
    m_checkNote = said.join(QStringLiteral("、"));
    showVerdict();
}
