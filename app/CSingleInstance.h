#pragma once

#include <QString>

// Refuses a second running copy of the program for the same user on the same machine.
//
// The guard is an exclusive flock() on a lock file named after the key in the user's private
// runtime folder. The kernel drops the lock when the holder's last descriptor closes, which
// happens during process exit however the process ends, so a crashed or killed copy never leaves
// anything that could refuse the next start, and a start made right after the previous copy has
// exited always succeeds.
//
// The folder is chosen per user, never from TMPDIR: a shell with a different temporary folder
// must not give the user a second copy beside the first.
class CSingleInstance
{
public:
    explicit CSingleInstance(const QString& key);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when no other copy runs; the lock is then held until this object is destroyed. When
    // the lock cannot be taken for any reason other than another holder, the start is let
    // through: being refused by a broken guard would be worse than a second copy.
    bool acquire();

    // The user's private folder for the lock: XDG_RUNTIME_DIR, else /run/user/<uid>, else
    // /tmp/ardmere-<uid> (created on demand). A folder qualifies only when it is a real directory
    // owned by the user that nobody else may write to. Empty when none qualifies.
    static QString lockDirectory();

private:
    QString m_key;
    int m_fd = -1;
};
