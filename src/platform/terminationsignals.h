#pragma once

#include <QObject>

class QSocketNotifier;

namespace tintara {

// Requests from outside the program to end it.
class TerminationRequests : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void requested(int signalNumber);
};

// Turns SIGTERM, SIGINT and SIGHUP into requested(), delivered by the event loop, so that a
// request to end the program can take the main window's normal way out. The handler only writes a
// byte to a socket pair; a QSocketNotifier reads it. One listens at a time: while it lives, one
// made after it hears nothing. The earlier handlers come back when it goes. A second signal of the
// same kind ends the program the usual way, should the first one not have.
class TerminationSignals final : public TerminationRequests
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void readSignal();

    int m_sockets[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tintara
