#pragma once

#include <QByteArray>

// A device that refuses an application package or licence still answers HTTP 200; only the
// body tells (docs/cameraapps.md lists the texts). True when body is such a refusal.
bool isZapkUploadRefusal(const QByteArray& body);
