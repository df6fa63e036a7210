#pragma once

#include <QSharedMemory>
#include <QString>

// Refuses a second running copy of the program through a named one-byte shared-memory segment.
//
// On Linux a System V segment outlives a process that was killed, so a crash would otherwise lock
// the user out until the next reboot. Before checking, a segment that no live process is attached
// to is removed; a segment held by a running copy survives that and still refuses the start.
class CSingleInstance
{
public:
    explicit CSingleInstance(const QString& key);

    // True when no other copy runs; the segment is then held until this object is destroyed.
    bool acquire();

private:
    QString m_key;
    QSharedMemory m_memory;
};
