#include "CDevicePackInstaller.h"

#include "DecompressDevicePack.h"
#include "DecryptDevicePack.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResource>

CDevicePackInstaller::CDevicePackInstaller(const QString& applicationDirectory,
                                           const QString& temporaryDirectory)
    : m_applicationDirectory(applicationDirectory), m_temporaryDirectory(temporaryDirectory)
{}

CDevicePackInstaller CDevicePackInstaller::forApplication()
{
    return CDevicePackInstaller(QCoreApplication::applicationDirPath(), QDir::tempPath());
}

QString CDevicePackInstaller::workDirectory() const
{
    return QDir::toNativeSeparators(m_temporaryDirectory) + QDir::separator() +
           "Ardmere_devicepack_tmp";
}

QString CDevicePackInstaller::decryptedArchivePath() const
{
    return QDir::toNativeSeparators(m_temporaryDirectory) + QDir::separator() + "device_pack_tmp";
}

QString CDevicePackInstaller::resourcePath() const
{
    return workDirectory() + "/qml/DevicePack.rcc";
}

QString CDevicePackInstaller::manifestPath() const
{
    return workDirectory() + "/manifest";
}

CDevicePackInstaller::Version CDevicePackInstaller::versionOfString(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() < 3)
        return {0, 0, 0};
    Version version{};
    for (int i = 0; i < 3; ++i)
        version[i] = pieces[i].toInt(); // a piece that is no number counts 0
    return version;
}

CDevicePackInstaller::Version CDevicePackInstaller::versionOfFileName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const int start = name.indexOf(QLatin1Char('-')) + 1;
    const int end = name.lastIndexOf(QLatin1String(".vdp"));
    if (end < start)
        return {0, 0, 0};
    return versionOfString(name.mid(start, end - start));
}

QString CDevicePackInstaller::chooseDevicePack(const QStringList& fileNames)
{
    if (fileNames.isEmpty())
        return QString();
    if (fileNames.size() == 1)
        return fileNames.first();
    QString chosen;
    Version best{0, 0, 0};
    for (const QString& name : fileNames) {
        const Version version = versionOfFileName(name);
        if (best < version) {
            best = version;
            chosen = name;
        }
    }
    return chosen;
}

QString CDevicePackInstaller::installedVersion() const
{
    QFile manifest(manifestPath());
    if (!manifest.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "Failed to open manifest file in " + manifestPath();
        return QString();
    }
    return QJsonDocument::fromJson(manifest.readAll()).object().value("version").toString();
}

QString CDevicePackInstaller::prepareDevicePack() const
{
    const QDir applicationDir(m_applicationDirectory);
    const QStringList packs =
        applicationDir.entryList({QStringLiteral("*.vdp")}, QDir::Files, QDir::Name);
    const QString chosen = chooseDevicePack(packs);
    if (!chosen.isEmpty() && versionOfString(installedVersion()) < versionOfFileName(chosen)) {
        qDebug() << "decompress device pack";
        install(applicationDir.filePath(chosen));
    }
    const QString version = installedVersion();
    qDebug().noquote() << "device pack version: " + version;
    return version;
}

bool CDevicePackInstaller::install(const QString& packPath) const
{
    const QString archive = decryptedArchivePath();
    const QString work = workDirectory();
    if (!DecryptDevicePack(packPath, archive)) {
        qDebug() << "DecryptDevicePack failed" << packPath << archive;
        return false;
    }

    // Unpack beside the installed pack and swap only a complete result in.
    const QString staging = work + ".new";
    const QString previous = work + ".old";
    QDir(staging).removeRecursively();
    if (!DecompressDevicePack(archive, staging)) {
        qDebug() << "DecompressDevicePack" << archive << staging;
        QDir(staging).removeRecursively();
        return false;
    }
    QDir(previous).removeRecursively();
    const bool hadPack = QFileInfo::exists(work);
    if (hadPack && !QDir().rename(work, previous)) {
        qDebug() << "DecompressDevicePack cannot replace" << work;
        QDir(staging).removeRecursively();
        return false;
    }
    if (!QDir().rename(staging, work)) {
        qDebug() << "DecompressDevicePack cannot install" << staging << work;
        if (hadPack)
            QDir().rename(previous, work);
        QDir(staging).removeRecursively();
        return false;
    }
    QDir(previous).removeRecursively();
    return true;
}

bool CDevicePackInstaller::registerResource() const
{
    if (QResource::registerResource(resourcePath()))
        return true;
    qDebug() << "Cannot register DevicePack.rcc";
    return false;
}
