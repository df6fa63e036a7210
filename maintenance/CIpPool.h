#pragma once

#include <QtGlobal>
#include <set>

// The free addresses of a range, handed out lowest first. The range is kept as its two ends and
// the few addresses taken out of it, never as a set of every address: a range of a /8 network
// holds 16.7 million addresses, and only as many are ever taken as there are devices.
class CIpPool
{
public:
    CIpPool() = default;
    // An empty pool when last < first.
    CIpPool(quint32 first, quint32 last);

    quint64 size() const;
    bool isEmpty() const { return size() == 0; }
    bool contains(quint32 address) const;
    // Takes address out of the pool; false when it was not in it.
    bool remove(quint32 address);
    // Takes the lowest free address out of the pool and stores it in *address; false when the
    // pool is empty.
    bool takeLowest(quint32* address);

private:
    // Every address below m_next has been handed out or was never in the range.
    quint64 m_next = 1;
    quint64 m_last = 0;
    // Addresses at or above m_next taken out of order.
    std::set<quint32> m_taken;
};
