#include "CIpPool.h"

CIpPool::CIpPool(quint32 first, quint32 last) : m_next(first), m_last(last)
{
    if (last < first) {
        m_next = 1;
        m_last = 0;
    }
}

quint64 CIpPool::size() const
{
    if (m_next > m_last)
        return 0;
    return m_last - m_next + 1 - m_taken.size();
}

bool CIpPool::contains(quint32 address) const
{
    return address >= m_next && address <= m_last && m_taken.count(address) == 0;
}

bool CIpPool::remove(quint32 address)
{
    if (!contains(address))
        return false;
    if (address == m_next) {
        quint32 dummy = 0;
        return takeLowest(&dummy);
    }
    m_taken.insert(address);
    return true;
}

bool CIpPool::takeLowest(quint32* address)
{
    // Addresses taken out of order that the lower bound reaches are no longer needed in the set.
    while (m_next <= m_last && !m_taken.empty() && *m_taken.begin() == m_next) {
        m_taken.erase(m_taken.begin());
        ++m_next;
    }
    if (m_next > m_last)
        return false;
    *address = static_cast<quint32>(m_next);
    ++m_next;
    while (m_next <= m_last && !m_taken.empty() && *m_taken.begin() == m_next) {
        m_taken.erase(m_taken.begin());
        ++m_next;
    }
    return true;
}
