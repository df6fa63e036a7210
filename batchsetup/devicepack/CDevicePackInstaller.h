#pragma once

#include <QString>
#include <QStringList>

#include <array>

// Chooses the newest device-pack file (".vdp") beside the program and installs it into the
// work directory when it is newer than the installed pack. A new pack is unpacked into a fresh
// directory and swapped in only when complete, so a damaged file leaves the installed pack as it
// was. Directories are injectable so tests never touch a running program's pack.
class CDevicePackInstaller
{
public:
    // Major, minor and patch; compared in that order.
    using Version = std::array<int, 3>;

    CDevicePackInstaller(const QString& applicationDirectory, const QString& temporaryDirectory);
    // The program's own directories: the executable's directory and the system's temporary one.
    static CDevicePackInstaller forApplication();

    QString workDirectory() const;
    QString decryptedArchivePath() const;
    QString resourcePath() const;
    QString manifestPath() const;

    // Installs a newer pack if there is one and returns the version of the installed pack
    // (empty if none).
    QString prepareDevicePack() const;
    // Registers the pack's "DevicePack.rcc"; false (with a debug line) if that fails.
    bool registerResource() const;

    // The "version" of the installed manifest; empty (with a debug line) if unreadable.
    QString installedVersion() const;
    // The file to install among fileNames (in directory order), or empty.
    static QString chooseDevicePack(const QStringList& fileNames);
    static Version versionOfFileName(const QString& fileName);
    static Version versionOfString(const QString& text);

private:
    bool install(const QString& packPath) const;

    QString m_applicationDirectory;
    QString m_temporaryDirectory;
};
