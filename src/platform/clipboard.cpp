#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tintara {

void copyPlainText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

QString clipboardText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text(QClipboard::Clipboard) : QString();
}

} // namespace tintara
