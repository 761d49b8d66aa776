#include "platform/terminationsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tintara {

#ifdef Q_OS_UNIX

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The socket of the one that listens; the handlers of the time before it are kept.
volatile sig_atomic_t s_writeSocket = -1;
std::array<struct sigaction, kSignals.size()> s_previous{};

extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    const int socket = s_writeSocket;
    if (socket >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(socket, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : TerminationRequests(parent)
{
    if (s_writeSocket >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_sockets) != 0) {
        m_sockets[0] = m_sockets[1] = -1;
        return;
    }
    // The handler must never block, even if nobody reads for a while.
    ::fcntl(m_sockets[0], F_SETFL, ::fcntl(m_sockets[0], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &s_previous[i]);
    s_writeSocket = m_sockets[0];
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    s_writeSocket = -1;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &s_previous[i], nullptr);
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(m_sockets[1], &byte, 1) == 1)
        emit requested(byte);
}

#else

TerminationSignals::TerminationSignals(QObject* parent)
    : TerminationRequests(parent)
{
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readSignal() {}

#endif

} // namespace tintara
