#include "CExitSignalHandler.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtDebug>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
// What the handler writes to; cleared before the pipe is closed, so that a late signal never
// writes to a descriptor that has been reused for something else.
volatile sig_atomic_t g_writeFd = -1;

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a pending quit.
    if (g_writeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &byte, 1);
    }
    errno = saved;
}

void restoreDefaults()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

CExitSignalHandler::CExitSignalHandler(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qDebug() << "CExitSignalHandler cannot create its pipe";
        return;
    }
    g_writeFd = g_pipe[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the second signal takes the default action and ends the process.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0) {
        restoreDefaults();
        qDebug() << "CExitSignalHandler cannot install its handlers";
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CExitSignalHandler::onReadable);
    m_installed = true;
}

CExitSignalHandler::~CExitSignalHandler()
{
    if (m_installed)
        restoreDefaults();
    g_writeFd = -1;
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CExitSignalHandler::onReadable()
{
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::quit();
}
