#include "CDeviceSearcher.h"

#include "AddressHelpers.h"

CDeviceSearcher::CDeviceSearcher() = default;

CDeviceSearcher::~CDeviceSearcher()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_handle) {
        if (!m_discovering || check(Pyxera_Stop(m_handle)))
            check(Pyxera_Close(&m_handle));
        m_handle = nullptr;
    }
}

bool CDeviceSearcher::check(int rc)
{
    if (rc != PYXERA_OK)
        m_lastError = rc;
    return rc == PYXERA_OK;
}

bool CDeviceSearcher::setCallback(Callback callback)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_discovering)
        return false;
    m_callback = std::move(callback);
    return true;
}

bool CDeviceSearcher::isDiscovering() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_discovering;
}

int CDeviceSearcher::onAnswer(void* context, int eventType, const void* record)
{
    auto* self = static_cast<CDeviceSearcher*>(context);
    if (eventType != PYXERA_EVENT_ANSWER || !record || !self->m_callback)
        return 0;
    self->m_callback(CDeviceSearchInfo::fromRecord(record));
    return 0;
}

bool CDeviceSearcher::open(quint16 port, quint32 mode)
{
    unsigned char params[PYXERA_PARAMS_SIZE] = {};
    params[PYXERA_PARAMS_PORT] = uchar(port & 0xFF);
    params[PYXERA_PARAMS_PORT + 1] = uchar(port >> 8);
    for (int i = 0; i < 4; ++i)
        params[PYXERA_PARAMS_MODE + i] = uchar(mode >> (8 * i));
    if (m_handle) // left over from a stop that failed: never keep two instances
        Pyxera_Close(&m_handle);
    if (!check(Pyxera_Create(&m_handle, params))) {
        m_handle = nullptr;
        return false;
    }
    if (!check(Pyxera_SetCallback(m_handle, this, &CDeviceSearcher::onAnswer)) ||
        !check(Pyxera_Start(m_handle))) {
        Pyxera_Close(&m_handle);
        m_handle = nullptr;
        return false;
    }
    return true;
}

bool CDeviceSearcher::start(quint16 port, quint32 mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_discovering || !open(port, mode))
        return false;
    if (!check(Pyxera_Discovery(m_handle))) {
        stopLocked();
        return false;
    }
    m_discovering = true;
    return true;
}

bool CDeviceSearcher::startRange(quint16 port, const QString& first, const QString& last)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_discovering)
        return false;
    if (!isValidIPv4(first) || !isValidIPv4(last)) {
        m_lastError = PYXERA_ERR_ARG;
        return false;
    }
    if (!open(port, 1))
        return false;
    const uint32_t range[2] = {ipv4ToUInt(first), ipv4ToUInt(last)};
    if (!check(Pyxera_DiscoveryByRangeIP(m_handle, range))) {
        stopLocked();
        return false;
    }
    m_discovering = true;
    return true;
}

bool CDeviceSearcher::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return stopLocked();
}

bool CDeviceSearcher::stopLocked()
{
    if (!m_handle)
        return false;
    if (!check(Pyxera_Stop(m_handle)))
        return false;
    m_discovering = false;
    const bool closed = check(Pyxera_Close(&m_handle));
    m_handle = nullptr;
    return closed;
}
