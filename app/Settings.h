#pragma once

#include <QString>
#include <QVariant>

// The program's settings live in "settings.ini" beside the executable. The file is looked at
// afresh at every read, so an edit takes effect at the next read and readers on other threads never
// share a settings object. Keys are matched without regard to letter case: "LogHTTPResponse" and
// "logHTTPResponse" name the same entry.

// Absolute path of the settings file.
QString settingsFilePath();

// The value stored under key, or defaultValue when the file has no such key.
QVariant readSettingsValue(const QString& key, const QVariant& defaultValue);

// Stores value under key (reusing the spelling the file already has for it). Only "language" is
// written by the program.
void writeSettingsValue(const QString& key, const QVariant& value);
