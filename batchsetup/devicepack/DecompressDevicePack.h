#pragma once

#include <QString>

// Unpacks an archive of any format and compression libarchive reads into targetDirectory
// (created if missing, one level). Entries are written below targetDirectory only: an absolute
// path, a ".." component, a link leading out of the directory or a path through a symbolic link
// fails the whole unpacking. The process's current directory is never changed.
bool DecompressDevicePack(const QString& archivePath, const QString& targetDirectory);
