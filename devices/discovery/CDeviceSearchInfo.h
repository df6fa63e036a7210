#pragma once

#include <QString>
#include <array>

// One answer of the discovery library, read out of its fixed-layout answer record.
class CDeviceSearchInfo
{
public:
    QString firmwareInfo; // identification string: model, brand and version joined by "-"
    QString ip;           // the answer's address text, or "0.0.0.0" when it is not dotted IPv4
    bool ipValid = false;
    QString modelName;
    QString extra; // the answer's second text, carried only
    quint16 httpPort = 0;
    quint16 httpsPort = 0;
    quint16 cmsPort = 0;
    std::array<quint8, 6> mac{};
    quint32 extraNumber = 0; // the answer's number, carried only

    // Reads a record laid out as pyxera.h describes. Texts are read only up to the end of their
    // slots, so a record without terminators cannot make us read past it.
    static CDeviceSearchInfo fromRecord(const void* record);

    // The six MAC bytes as two-digit hexadecimal pairs joined by "-".
    QString macText(bool upperCase) const;
};
