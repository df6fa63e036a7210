#pragma once

#include "CDeviceInfo.h"
#include "CDeviceSearcherCtrl.h"

#include <QObject>
#include <QStringList>

// Receives deviceFound the way the main page does: queued onto the test's thread.
class FoundCollector : public QObject
{
    Q_OBJECT

public:
    explicit FoundCollector(CDeviceSearcherCtrl* ctrl)
    {
        connect(ctrl, &CDeviceSearcherCtrl::deviceFound, this, &FoundCollector::onFound,
                Qt::QueuedConnection);
    }

    QList<std::shared_ptr<CDeviceInfo>> devices;

    QStringList ips() const
    {
        QStringList out;
        for (const auto& d : devices)
            out << d->ip;
        return out;
    }

private slots:
    void onFound(std::shared_ptr<CDeviceInfo> device) { devices << device; }
};
