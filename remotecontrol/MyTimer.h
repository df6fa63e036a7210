#pragma once

#include <QHash>
#include <QObject>
#include <functional>

// Runs each recorded action once, when its timer fires. The remote-control server uses it for
// delayed messages: the action carries everything it needs, so the timer itself keeps no state
// beyond the pending actions.
class MyTimer : public QObject
{
public:
    using Action = std::function<void()>;

    explicit MyTimer(QObject* parent = nullptr);

    // Starts a coarse timer of msec milliseconds that runs action once. Returns false (and records
    // nothing) when no timer could be started.
    bool start(int msec, Action action);

    int pendingCount() const { return m_actions.size(); }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QHash<int, Action> m_actions;
};
