#pragma once

#include <functional>

struct event;
struct event_base;

namespace devsim {

// A single-shot timer on the simulator's event loop. Destroying it cancels it.
class CTimer
{
public:
    CTimer(event_base* base, std::function<void()> callback);
    ~CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    void start(int ms);
    void stop();
    bool isActive() const;

private:
    static void onFire(int fd, short what, void* arg);

    event* m_event = nullptr;
    std::function<void()> m_callback;
};

} // namespace devsim
