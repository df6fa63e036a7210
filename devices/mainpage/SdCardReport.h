#pragma once

#include <QString>

// What the device list shows of a device's SD cards: the condition of the first card that is not
// detached, as the device words it (or "detached" when there is none), and that card's used space
// in percent with two decimals (empty when its size is unknown).
struct SdCardState
{
    QString condition;
    QString usage;
};

// Reads the item form of lsctrl.cgi's queryStatus answer:
//   <i0><cond>ready</cond><totalsize>2048</totalsize><usedspace>512</usedspace>...</i0>
SdCardState parseSdCardStatus(const QString& report);
