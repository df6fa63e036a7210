#include "CSystemCtrl.h"

#include <QStandardPaths>

CSystemCtrl::CSystemCtrl(QObject* parent) : QObject(parent) {}

QUrl CSystemCtrl::desktopFileUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    const QStringList locations =
        QStandardPaths::standardLocations(QStandardPaths::DesktopLocation);
    if (!locations.isEmpty())
        url.setPath(locations.first());
    return url;
}
