#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// One option of a setting: the value the user interface offers ("%s" for free input) and the CGI
// parameter string sent to a camera for it.
using UidOption = QPair<QString, QString>;

// One setting (UID) of one device-pack table.
struct UidEntry
{
    QVector<UidOption> options;
    QString readPath;
    QString writePath;
};
