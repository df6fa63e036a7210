#pragma once

#include <QModelIndex>
#include <QString>

// Writes code under key in the row's status map and keeps the map's other entries: the
// application pages keep one entry per group or action in the same map, and a plain write of
// a one-entry map would wipe the results of the others.
bool writeStatusEntry(const QModelIndex& index, const QString& key, int code);
