#include "DecompressDevicePack.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <memory>

namespace {

struct ReadArchiveFree
{
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteArchiveFree
{
    void operator()(archive* a) const { archive_write_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ReadArchiveFree>;
using DiskWriterPtr = std::unique_ptr<archive, WriteArchiveFree>;

// A path stays inside the directory it is taken relative to: it is relative and has no ".."
// component. Both separators count, since archives made on Windows use "\".
bool staysInside(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\')))
        return false;
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        return false;
    const QStringList parts = QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')).split('/');
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

void reportError(const char* what, archive* a)
{
    const char* text = archive_error_string(a);
    std::fprintf(stderr, "%s%s\n", what, text ? text : "unknown error");
}

// Copies the data of the current entry; false on an error that should end the unpacking.
bool copyData(archive* reader, archive* writer)
{
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            return true;
        if (r < ARCHIVE_OK) {
            reportError("", reader);
            if (r < ARCHIVE_WARN)
                return false;
        }
        if (r < ARCHIVE_OK)
            continue;
        const la_ssize_t w = archive_write_data_block(writer, block, size, offset);
        if (w < ARCHIVE_OK) {
            reportError("", writer);
            if (w < ARCHIVE_WARN)
                return false;
        }
    }
}

} // namespace

bool DecompressDevicePack(const QString& archivePath, const QString& targetDirectory)
{
    ArchivePtr reader(archive_read_new());
    DiskWriterPtr writer(archive_write_disk_new());
    if (!reader || !writer)
        return false;
    archive_read_support_format_all(reader.get());
    archive_read_support_filter_all(reader.get());
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM |
                                                     ARCHIVE_EXTRACT_ACL | ARCHIVE_EXTRACT_FFLAGS |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    archive_write_disk_set_standard_lookup(writer.get());

    const QByteArray archiveName = QFile::encodeName(archivePath);
    if (archive_read_open_filename(reader.get(), archiveName.constData(), 10240) != ARCHIVE_OK) {
        const char* text = archive_error_string(reader.get());
        qDebug() << (text ? text : "cannot open the device pack archive");
        return false;
    }

    QDir target(targetDirectory);
    if (targetDirectory.isEmpty() || (!target.exists() && !QDir().mkdir(targetDirectory)))
        return false;
    // Entries are given absolute names below the real (symlink-free) target path, so the
    // extraction does not depend on the process's current directory.
    const QString root = QFileInfo(targetDirectory).canonicalFilePath();
    if (root.isEmpty())
        return false;

    bool ok = false;
    for (;;) {
        archive_entry* entry = nullptr;
        int r = archive_read_next_header(reader.get(), &entry);
        if (r == ARCHIVE_EOF) {
            ok = true;
            break;
        }
        if (r < ARCHIVE_OK)
            reportError("", reader.get());
        if (r < ARCHIVE_WARN)
            break;

        const char* rawName = archive_entry_pathname(entry);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        if (!staysInside(name)) {
            std::fprintf(stderr, "DecompressDevicePack: refusing entry outside the target: %s\n",
                         rawName ? rawName : "(no name)");
            break;
        }
        archive_entry_set_pathname(entry, QFile::encodeName(root + '/' + name).constData());
        if (const char* link = archive_entry_hardlink(entry)) {
            const QString linkName = QString::fromUtf8(link);
            if (!staysInside(linkName)) {
                std::fprintf(stderr, "DecompressDevicePack: refusing link outside the target: %s\n",
                             link);
                break;
            }
            archive_entry_set_hardlink(entry, QFile::encodeName(root + '/' + linkName).constData());
        }
        if (const char* link = archive_entry_symlink(entry)) {
            if (!staysInside(QString::fromUtf8(link))) {
                std::fprintf(stderr, "DecompressDevicePack: refusing link outside the target: %s\n",
                             link);
                break;
            }
        }

        r = archive_write_header(writer.get(), entry);
        if (r < ARCHIVE_OK)
            reportError("", writer.get());
        if (r < ARCHIVE_WARN)
            break;
        if (archive_entry_size(entry) > 0 && !copyData(reader.get(), writer.get()))
            break;
        r = archive_write_finish_entry(writer.get());
        if (r < ARCHIVE_OK)
            reportError("", writer.get());
        if (r < ARCHIVE_WARN)
            break;
    }
    archive_read_close(reader.get());
    archive_write_close(writer.get());
    return ok;
}
