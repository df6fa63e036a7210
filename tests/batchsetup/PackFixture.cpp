#include "PackFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

namespace PackFixture {

bool writeArchive(const QString& path, ArchiveFormat format, const QVector<ArchiveEntry>& entries)
{
    archive* a = archive_write_new();
    if (format == ArchiveFormat::TarGz) {
        archive_write_add_filter_gzip(a);
        archive_write_set_format_pax_restricted(a);
    } else {
        archive_write_set_format_zip(a);
    }
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const ArchiveEntry& e : entries) {
        if (!ok)
            break;
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.toUtf8().constData());
        switch (e.kind) {
        case ArchiveEntry::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, e.content.size());
            break;
        case ArchiveEntry::Directory:
            archive_entry_set_filetype(entry, AE_IFDIR);
            archive_entry_set_perm(entry, 0755);
            break;
        case ArchiveEntry::Symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_perm(entry, 0777);
            archive_entry_set_symlink(entry, e.linkTarget.toUtf8().constData());
            break;
        case ArchiveEntry::Hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_hardlink(entry, e.linkTarget.toUtf8().constData());
            break;
        }
        ok = archive_write_header(a, entry) == ARCHIVE_OK;
        if (ok && e.kind == ArchiveEntry::File && !e.content.isEmpty())
            ok = archive_write_data(a, e.content.constData(), e.content.size()) == e.content.size();
        archive_entry_free(entry);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

bool encryptWithOpenssl(const QString& plainPath, const QString& encryptedPath)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"enc", "-aes-256-cbc", "-md", "md5", "-salt", "-pass",
                   "pass:Qm3tRw8LpZx2Vn6Kd0Hsa", "-in", plainPath, "-out", encryptedPath});
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<ArchiveEntry> packEntries(const QString& version, const QByteArray& baseCsv)
{
    const QByteArray base = baseCsv.isEmpty()
                                ? QByteArray("Version=" + version.toUtf8() +
                                             "\nUID,read,write,option,param\n"
                                             "uid_system_hostname,/r,/w,%s,system_hostname=%s\n")
                                : baseCsv;
    return {
        {"manifest", "{\"version\": \"" + version.toUtf8() + "\"}", ArchiveEntry::File, {}},
        {"csv", {}, ArchiveEntry::Directory, {}},
        {"csv/base.csv", base, ArchiveEntry::File, {}},
        {"qml/DevicePack.rcc", "not a resource", ArchiveEntry::File, {}},
    };
}

bool makeVdp(const QString& vdpPath, ArchiveFormat format, const QVector<ArchiveEntry>& entries)
{
    QTemporaryDir scratch;
    const QString plain = scratch.filePath("pack.archive");
    return scratch.isValid() && writeArchive(plain, format, entries) &&
           encryptWithOpenssl(plain, vdpPath);
}

} // namespace PackFixture
