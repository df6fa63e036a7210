#include "CSingleInstance.h"

#include <QFile>
#include <QtDebug>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isPrivateDirectory(const QString& path, uid_t uid)
{
    if (path.isEmpty())
        return false;
    // lstat: a symbolic link planted in a shared folder must not redirect the lock elsewhere.
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == uid && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

CSingleInstance::CSingleInstance(const QString& key) : m_key(key)
{
    m_key.replace(QLatin1Char('/'), QLatin1Char('_'));
}

CSingleInstance::~CSingleInstance()
{
    // The file stays: unlinking it would let a copy that opened it just before the unlink lock a
    // file no longer in the folder while the next copy locks a new one, and both would run.
    if (m_fd >= 0)
        ::close(m_fd);
}

QString CSingleInstance::lockDirectory()
{
    const uid_t uid = ::geteuid();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime, uid))
        return runtime;
    const QString sessionRuntime = QStringLiteral("/run/user/%1").arg(uid);
    if (isPrivateDirectory(sessionRuntime, uid))
        return sessionRuntime;
    // Deliberately /tmp and not TMPDIR, so that the fallback is the same in every shell.
    const QString fallback = QStringLiteral("/tmp/ardmere-%1").arg(uid);
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    if (isPrivateDirectory(fallback, uid))
        return fallback;
    return QString();
}

bool CSingleInstance::acquire()
{
    if (m_fd >= 0)
        return true;
    const QString directory = lockDirectory();
    if (directory.isEmpty()) {
        qDebug() << "CSingleInstance::acquire no private folder for the lock file";
        return true;
    }
    const QByteArray path = QFile::encodeName(directory + QLatin1Char('/') + m_key + ".lock");
    // The file may be replaced between open and flock (a cleaner, a user); a lock on a file that is
    // no longer at the path guards nothing, so open again until the locked file is the one there.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // O_CLOEXEC: a child such as the browser opened for a device page must not inherit the
        // lock and keep refusing starts after this copy has ended.
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            qDebug() << "CSingleInstance::acquire cannot open" << path << std::strerror(errno);
            return true;
        }
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return false;
            qDebug() << "CSingleInstance::acquire cannot lock" << path << std::strerror(error);
            return true;
        }
        struct stat held;
        struct stat current;
        if (::fstat(fd, &held) == 0 && ::stat(path.constData(), &current) == 0 &&
            held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    qDebug() << "CSingleInstance::acquire the lock file keeps being replaced:" << path;
    return true;
}
