#pragma once

#include "CDeviceSearchInfo.h"
#include "pyxera.h"

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

// One open instance of the discovery library at a time: opens it for a discovery and closes it
// when the discovery stops. Lifecycle calls may come from different threads (a background stop
// while the GUI thread starts anew), so they are serialised; answers arrive on the library's
// thread and go to the callback.
class CDeviceSearcher
{
public:
    using Callback = std::function<void(const CDeviceSearchInfo&)>;

    CDeviceSearcher();
    ~CDeviceSearcher();
    CDeviceSearcher(const CDeviceSearcher&) = delete;
    CDeviceSearcher& operator=(const CDeviceSearcher&) = delete;

    // Refused while discovering: the library's thread may be calling the old one.
    bool setCallback(Callback callback);

    // Opens an instance on port with mode and starts a plain discovery.
    bool start(quint16 port, quint32 mode);

    // The same with a range discovery from first to last (dotted IPv4 texts). Texts that are not
    // dotted IPv4 fail without opening anything.
    bool startRange(quint16 port, const QString& first, const QString& last);

    // Stops and closes the instance; true only if both succeed. No answer is delivered after it
    // returns.
    bool stop();

    bool isDiscovering() const;
    int lastError() const { return m_lastError; }

private:
    static int onAnswer(void* context, int eventType, const void* record);
    bool open(quint16 port, quint32 mode);
    bool stopLocked();
    bool check(int rc);

    mutable std::mutex m_mutex;
    PyxeraHandle m_handle = nullptr;
    std::atomic<int> m_lastError{0};
    bool m_discovering = false;
    Callback m_callback;
};
