#pragma once

#include <QString>

// Names of what the exports write to disk. A device decides the names of its downloads and part
// of the name of its folder, so no such text may reach outside the folder it is meant for.

// The plain file name a Content-Disposition remainder stands for: the part after the last "/"
// or "\", without control characters and without one pair of enclosing double quotes. Empty
// when nothing usable is left ("", ".", "..", a name ending in a separator).
QString safeFileName(const QString& name);

// A folder name built from device data: separators and control characters become "_", and a
// name that would be "" , "." or ".." becomes "_".
QString safeFolderName(const QString& name);
