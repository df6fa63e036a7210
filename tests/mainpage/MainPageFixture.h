#pragma once

// Shared set-up of the main-page tests: a simulated fleet on 127.0.5x.y, short time-outs in the
// settings file beside the test, and a main page controller whose list holds the fleet.

#include "CAppendedDataModel.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CMainDeviceChain.h"
#include "CMainPageCtrl.h"
#include "Settings.h"

#include <QFile>
#include <QTest>

namespace mainpagetest {

inline void writeSettings(const QByteArray& extra = QByteArray())
{
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[General]\nauthorizeTimeoutMs=2500\ngetSDCardStatusTimeoutMs=2500\n"
               "ImportDeviceTimeout=2500\nsearchTimeMs=1500\n" +
               extra);
}

inline std::shared_ptr<CDeviceInfo> record(const QString& ip, bool discovered = false)
{
    auto device = std::make_shared<CDeviceInfo>();
    device->ip = ip;
    device->httpPort = 8080;
    device->httpsPort = 8443;
    device->drmSearched = discovered;
    return device;
}

// The view row of the device at ip, or -1.
inline int rowOf(CMainPageCtrl& ctrl, const QString& ip)
{
    CDeviceSortFilterModel* view = ctrl.chain()->sortFilterModel();
    for (int row = 0; row < view->rowCount(); ++row) {
        if (view->index(row, 0).data(CDeviceInfo::ipRole).toString() == ip)
            return row;
    }
    return -1;
}

inline QVariant valueOf(CMainPageCtrl& ctrl, const QString& ip, int role)
{
    const int row = rowOf(ctrl, ip);
    if (row < 0)
        return QVariant();
    CDeviceSortFilterModel* view = ctrl.chain()->sortFilterModel();
    return view->index(row, 0).data(role);
}

inline int statusOf(CMainPageCtrl& ctrl, const QString& ip)
{
    const QVariant value = valueOf(ctrl, ip, CDeviceInfo::statusRole);
    return value.isValid() ? value.toInt() : -2;
}

} // namespace mainpagetest
