#pragma once

#include <QApplication>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tintara::test {

// Acts on the modal window of type Dialog that the next call opens, then closes it if the action
// left it open, so a failing test never waits on it.
template<class Dialog>
void onModal(std::function<void(Dialog*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog)
            action(dialog);
        else
            QTest::qFail("the expected modal window did not open", __FILE__, __LINE__);
        if (modal && modal->isVisible())
            modal->close();
    });
}

// Closes every message box that opens while it lives and keeps their texts.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher();
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace tintara::test
