#pragma once

#include <QByteArray>

// Devices refuse an unusable firmware file or event script with HTTP 200 and a failure text in
// the body (docs/firmware.md lists the texts). True when body is such a refusal.
bool isUploadRefusal(const QByteArray& body);
