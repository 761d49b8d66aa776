#include "support/modal.h"

#include <QMessageBox>

namespace tintara::test {

MessageBoxCatcher::MessageBoxCatcher()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    m_timer.start();
}

} // namespace tintara::test
