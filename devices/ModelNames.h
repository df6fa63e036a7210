#pragma once

#include <QString>

// Helpers on firmware identification strings such as "QD8182-QXOR-0104a" (model, brand and
// version joined by "-") and on model names.

// True when text starts (case-sensitively) with one of the prefixes of the recorder lines.
bool isRecorderModel(const QString& text);

// True when text starts with one of the prefixes of the maker's non-camera products (switches,
// recorders of other lines, ...) or isRecorderModel holds.
bool isOtherDevice(const QString& text);

// True when text starts with one of the non-camera prefixes (recorders of the own lines excluded).
bool hasNonCameraPrefix(const QString& text);

// The version piece of an identification string: the third of exactly three "-"-separated pieces,
// otherwise the whole text.
QString firmwareFromInfo(const QString& text);

// The model piece of an identification string: the first of exactly three "-"-separated pieces,
// otherwise the whole text.
QString modelFromInfo(const QString& text);
