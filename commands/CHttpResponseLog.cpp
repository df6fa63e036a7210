#include "CHttpResponseLog.h"

#include "Settings.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <time.h>
#endif

namespace {

// What identifies one version of the settings file on disk. A rewrite through a save file gets a
// new inode; an edit in place changes the size or the change time.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

struct CachedValue
{
    FileStamp stamp;
    bool enabled = false;
};

QMutex g_cacheMutex;
QHash<QString, CachedValue> g_cache;

#ifdef Q_OS_UNIX
qint64 toNs(const timespec& time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The file's stamp, and whether a value read under it may be reused later. File times come from a
// coarse clock, so two edits of equal size within one tick share their times: a file changed that
// recently is read again until its times lie safely in the past.
bool stampFile(const QString& path, FileStamp* stamp)
{
    const qint64 kSettleNs = 100 * 1000 * 1000;
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        *stamp = FileStamp();
        return true;
    }
    stamp->exists = true;
    stamp->device = static_cast<quint64>(info.st_dev);
    stamp->inode = static_cast<quint64>(info.st_ino);
    stamp->size = static_cast<qint64>(info.st_size);
    stamp->modifiedNs = toNs(info.st_mtim);
    stamp->changedNs = toNs(info.st_ctim);
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 latest = std::max(stamp->modifiedNs, stamp->changedNs);
    return toNs(now) - latest > kSettleNs;
}
#else
bool stampFile(const QString&, FileStamp* stamp)
{
    // Without a cheap, exact stamp the file is simply read every time.
    *stamp = FileStamp();
    return false;
}
#endif

} // namespace

QString CHttpResponseLog::FileName()
{
    return QStringLiteral("HTTPResponse.txt");
}

bool CHttpResponseLog::IsEnabled(const QString& settingKey)
{
    // Keys are matched without regard to case, so both spellings share one entry.
    const QString cacheKey = settingKey.toLower();
    FileStamp stamp;
    const bool reusable = stampFile(settingsFilePath(), &stamp);
    QMutexLocker lock(&g_cacheMutex);
    if (reusable) {
        auto it = g_cache.constFind(cacheKey);
        if (it != g_cache.constEnd() && it->stamp == stamp)
            return it->enabled;
    }
    const bool enabled = readSettingsValue(settingKey, false).toBool();
    if (reusable)
        g_cache.insert(cacheKey, {stamp, enabled});
    else
        g_cache.remove(cacheKey);
    return enabled;
}

void CHttpResponseLog::Append(const QString& settingKey, const QUrl& url, const QByteArray& body)
{
    if (!IsEnabled(settingKey))
        return;
    QFile file(FileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray record =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz")).toUtf8();
    record += ' ';
    record += url.toString(QUrl::FullyEncoded).toUtf8();
    record += "\r\n";
    record += body;
    record += "\r\n";
    file.write(record);
}
