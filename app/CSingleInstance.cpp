#include "CSingleInstance.h"

CSingleInstance::CSingleInstance(const QString& key) : m_key(key), m_memory(key) {}

bool CSingleInstance::acquire()
{
    {
        // Detaching the last attachment removes the segment, so attaching and letting go clears a
        // segment left behind by a killed copy and leaves one held by a live copy in place.
        QSharedMemory stale(m_key);
        if (stale.attach(QSharedMemory::ReadOnly))
            stale.detach();
    }
    if (m_memory.attach(QSharedMemory::ReadWrite)) {
        m_memory.detach();
        return false;
    }
    return m_memory.create(1, QSharedMemory::ReadWrite);
}
