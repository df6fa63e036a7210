#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <time.h>
#endif

// The file is read with a small parser of our own rather than QSettings: QSettings keeps parsed
// files in a process-wide cache that it revalidates by size and modification time only, so an edit
// of the same length within the same millisecond would go unseen, and it matches keys with regard
// to case on Linux. What it does keep is the file's lines, and only while the file is provably the
// same one: every read still asks the file system, so an edit is seen at the next read, but a batch
// that reads a setting per device reply does not read and split the file a thousand times.

namespace {

QString applicationDirectory()
{
    // Before the application object exists (unit tests of helpers) there is no application path;
    // the working directory is the only sensible stand-in.
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

bool isGeneralSection(const QString& header)
{
    return header.compare(QStringLiteral("[General]"), Qt::CaseInsensitive) == 0;
}

bool isComment(const QString& line)
{
    return line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'));
}

QString unquote(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
        value.endsWith(QLatin1Char('"'))) {
        value = value.mid(1, value.size() - 2);
        QString plain;
        plain.reserve(value.size());
        for (int i = 0; i < value.size(); ++i) {
            if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size())
                ++i;
            plain.append(value.at(i));
        }
        return plain;
    }
    return value;
}

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

#ifdef Q_OS_UNIX
qint64 toNs(const timespec& time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The file's stamp, and whether lines read under it may be reused later. File times come from a
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

struct CachedLines
{
    bool valid = false;
    QString path;
    FileStamp stamp;
    QStringList lines;
};

QMutex g_cacheMutex;
CachedLines g_cache;

QStringList readLines()
{
    const QString path = settingsFilePath();
    FileStamp stamp;
    const bool reusable = stampFile(path, &stamp);
    {
        QMutexLocker lock(&g_cacheMutex);
        if (reusable && g_cache.valid && g_cache.path == path && g_cache.stamp == stamp)
            return g_cache.lines;
    }
    QStringList lines;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QMutexLocker lock(&g_cacheMutex);
    g_cache = CachedLines{reusable, path, stamp, lines};
    return lines;
}

// Index of the line holding key in the general section (keys before any section count as general),
// or -1.
int findKeyLine(const QStringList& lines, const QString& key, QString* value)
{
    bool general = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || isComment(line))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            general = isGeneralSection(line);
            continue;
        }
        if (!general)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            if (value)
                *value = unquote(line.mid(eq + 1));
            return i;
        }
    }
    return -1;
}

} // namespace

QString settingsFilePath()
{
    return applicationDirectory() + QDir::separator() + QStringLiteral("settings.ini");
}

QVariant readSettingsValue(const QString& key, const QVariant& defaultValue)
{
    QString value;
    if (findKeyLine(readLines(), key, &value) < 0)
        return defaultValue;
    return value;
}

void writeSettingsValue(const QString& key, const QVariant& value)
{
    QStringList lines = readLines();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const QString text = value.toString();
    const int at = findKeyLine(lines, key, nullptr);
    if (at >= 0) {
        const QString line = lines.at(at);
        lines[at] = line.left(line.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + text;
    } else {
        int generalEnd = -1;
        for (int i = 0; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (!line.startsWith(QLatin1Char('[')))
                continue;
            if (generalEnd >= 0) {
                generalEnd = i;
                break;
            }
            if (isGeneralSection(line))
                generalEnd = lines.size();
        }
        const QString entry = key + QLatin1Char('=') + text;
        if (generalEnd < 0) {
            lines.prepend(entry);
            lines.prepend(QStringLiteral("[General]"));
        } else {
            lines.insert(generalEnd, entry);
        }
    }

    // Written whole or not at all, so a crash never leaves half a settings file.
    QSaveFile file(settingsFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    file.commit();
}
