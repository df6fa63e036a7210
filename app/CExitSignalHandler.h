#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into QCoreApplication::quit(), so that the event loop returns and
// main's objects are destroyed in order (the alias addresses are removed, for one) instead of the
// process ending on the spot. The signal handler only writes a byte to a pipe; the quit happens
// on the GUI thread when the pipe becomes readable.
//
// A second signal of either kind ends the process at once, so a shutdown that hangs can still be
// interrupted. Only one object may exist at a time.
class CExitSignalHandler : public QObject
{
    Q_OBJECT
public:
    explicit CExitSignalHandler(QObject* parent = nullptr);
    ~CExitSignalHandler() override;

    // False when the pipe or the handlers could not be set up; the signals then keep their
    // default action.
    bool isInstalled() const { return m_installed; }

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
};
