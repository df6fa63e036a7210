#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Helpers for device-pack tests: archives with arbitrary entries (libarchive writes names that
// tar and zip tools would refuse), encryption with the OpenSSL command-line tool, small files.
namespace PackFixture {

struct ArchiveEntry
{
    enum Kind
    {
        File,
        Directory,
        Symlink,
        Hardlink
    };
    QString name;
    QByteArray content;
    Kind kind = File;
    QString linkTarget;
};

enum class ArchiveFormat
{
    TarGz,
    Zip
};

bool writeArchive(const QString& path, ArchiveFormat format, const QVector<ArchiveEntry>& entries);
// Encrypts with "openssl enc -aes-256-cbc -md md5 -salt" and the program's pass phrase.
bool encryptWithOpenssl(const QString& plainPath, const QString& encryptedPath);
bool writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);
// The entries of a small but complete pack with the given manifest version.
QVector<ArchiveEntry> packEntries(const QString& version, const QByteArray& baseCsv = QByteArray());
// Builds archive + encryption into vdpPath; false if a tool failed.
bool makeVdp(const QString& vdpPath, ArchiveFormat format, const QVector<ArchiveEntry>& entries);

} // namespace PackFixture
