#pragma once

#include "CDeviceInfo.h"

#include <QByteArray>
#include <QString>

// A device's serial number as the MAC address the list shows: "00:02:D1:A1:B2:C3" and
// "0002D1A1B2C3" both become "00-02-D1-A1-B2-C3" (letter case is kept).
QString macFromSerial(const QString& serial);

// The record fields an identity answer of getparam.cgi fills (model, MAC, firmware identification
// and version, the model name the device reports), as a value map.
RoleMap identityInfo(const QByteArray& body);
