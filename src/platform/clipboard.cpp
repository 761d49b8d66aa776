#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tintara {

void copyPlainText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

} // namespace tintara
