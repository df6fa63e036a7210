#pragma once

#include <QSet>
#include <QStringList>

// The setting UIDs the batch-setup pages know, fixed in the program.

// Every setting of channel 0, in the order the pages and template files use.
const QStringList& AllUids();
// The settings that exist once per video channel; channels 1 and up get one entry per name,
// duplicates included.
const QStringList& ChannelUids();
// The settings after which a camera must restart.
const QStringList& RestartUids();

// Membership tests for the two lists above.
bool IsChannelUid(const QString& uid);
bool IsRestartUidName(const QString& uid);
