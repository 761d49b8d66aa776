#pragma once

#include <QObject>

class QSocketNotifier;

namespace tintara {

// Turns SIGTERM, SIGINT and SIGHUP into the Qt signal requested(), delivered by the event loop,
// so that a request to end the program can take the main window's normal way out. The handler
// only writes a byte to a socket pair; a QSocketNotifier reads it. Of several objects the newest
// hears the signals. While any lives the earlier handlers are replaced; they come back when the
// last goes. A second signal of the same kind ends the program the usual way, should the first
// one not have.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void requested(int signalNumber);

private:
    void readSignal();

    int m_sockets[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tintara
