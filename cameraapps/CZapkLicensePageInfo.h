#pragma once

#include <QString>
#include <QVector>
#include <memory>

class CStatusMapFilterModel;
class CZapkLicenseDeviceProxyModel;
class QAbstractItemModel;

// One licence group: the files of one selection, each matched to its device, the group's key in
// the devices' status maps, its state in the queue and views of its devices.
class CZapkLicensePageInfo
{
public:
    CZapkLicensePageInfo();
    ~CZapkLicensePageInfo();
    CZapkLicensePageInfo(const CZapkLicensePageInfo&) = delete;
    CZapkLicensePageInfo& operator=(const CZapkLicensePageInfo&) = delete;

    // The group's devices are rows of statusView; the failed view sits on them.
    void bindViews(QAbstractItemModel* statusView, const QVector<int>& rows);

    CZapkLicenseDeviceProxyModel* devicesModel() const { return m_devicesModel.get(); }
    CStatusMapFilterModel* failedDevicesModel() const { return m_failedDevicesModel.get(); }

    QString statusIndex;
    QString fileDescription;
    int count = 0;
    int fileStartIndex = 0;
    int fileEndIndex = 0;
    int errorCount = 0;
    int status = -1;
    int progress = 0;

private:
    std::unique_ptr<CZapkLicenseDeviceProxyModel> m_devicesModel;
    std::unique_ptr<CStatusMapFilterModel> m_failedDevicesModel;
};
