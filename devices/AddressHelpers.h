#pragma once

#include <QString>

// Dotted IPv4 text helpers shared by discovery, the views and IP assignment.

// True when text is exactly four groups of one to three decimal digits joined by ".", each group
// below 256. Leading zeros are allowed ("010.0.0.1").
bool isValidIPv4(const QString& text);

// Validates like isValidIPv4 and, when valid, stores the numeric value in *value. One pass without
// allocation, for hot paths such as sorting.
bool parseIPv4(const QString& text, quint32* value);

// Accumulates value = value * 256 + group over the "."-separated groups, each read as an unsigned
// decimal (unreadable groups count as 0). It does not validate: callers check isValidIPv4 first
// where the text may be malformed.
quint32 ipv4ToUInt(const QString& text);

// The dotted text of value, most significant byte first.
QString uintToIPv4(quint32 value);
