#pragma once

#include <QString>
#include <QVariantMap>

// The columns of the exported device list, each computed from one device's record (the
// key=value pairs its getparam reply held, completed from its row).

// A value as written to the file: enclosed in double quotes and followed by a comma. A quote
// inside the value is doubled (RFC 4180 §2.7), so that the file stays readable.
QString csvField(const QString& value);
// "QXOR" when the identification string has no second "-" part or that part is "QXOR".
QString brandColumn(const QString& firmwareInfo);
// "0" is "Fixed", "1" is "DHCP"; anything else is written unchanged.
QString networkTypeColumn(const QString& resetIp);
// The serial number as a MAC: "00:02:D1:A1:B2:C3" and "0002D1A1B2C3" give "00-02-D1-A1-B2-C3".
QString macColumn(const QString& serial);
