#include "CTimer.h"

#include <event2/event.h>

namespace devsim {

CTimer::CTimer(event_base* base, std::function<void()> callback)
    : m_event(evtimer_new(base, &CTimer::onFire, this)), m_callback(std::move(callback))
{}

CTimer::~CTimer()
{
    if (m_event)
        event_free(m_event);
}

void CTimer::start(int ms)
{
    if (ms < 0)
        ms = 0;
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    evtimer_add(m_event, &tv);
}

void CTimer::stop()
{
    evtimer_del(m_event);
}

bool CTimer::isActive() const
{
    return evtimer_pending(m_event, nullptr) != 0;
}

void CTimer::onFire(int, short, void* arg)
{
    auto* self = static_cast<CTimer*>(arg);
    // The callback may destroy the timer; copy it first.
    auto callback = self->m_callback;
    callback();
}

} // namespace devsim
