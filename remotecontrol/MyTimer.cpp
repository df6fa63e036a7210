#include "MyTimer.h"

#include <QTimerEvent>

MyTimer::MyTimer(QObject* parent) : QObject(parent) {}

bool MyTimer::start(int msec, Action action)
{
    const int id = startTimer(msec, Qt::CoarseTimer);
    if (id == 0)
        return false;
    m_actions.insert(id, std::move(action));
    return true;
}

void MyTimer::timerEvent(QTimerEvent* event)
{
    const auto it = m_actions.find(event->timerId());
    if (it == m_actions.end())
        return;
    killTimer(event->timerId());
    // Taken out before it runs: the action may start further timers, which would invalidate it.
    const Action action = std::move(it.value());
    m_actions.erase(it);
    action();
}
