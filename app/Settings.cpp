#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

// The file is read with a small parser of our own rather than QSettings: QSettings keeps parsed
// files in a process-wide cache that it revalidates by size and modification time only, so an edit
// of the same length within the same millisecond would go unseen, and it matches keys with regard
// to case on Linux.

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

QStringList readLines()
{
    QFile file(settingsFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
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
