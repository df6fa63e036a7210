#pragma once

#include <QString>
#include <memory>

class CStatusMapFilterModel;
class QAbstractItemModel;

// One package group: the file chosen, its key in every device's status map, its state in the
// queue and two views of the page's devices (all of the group, and those that failed).
class CZapkPackagePageInfo
{
public:
    CZapkPackagePageInfo();
    ~CZapkPackagePageInfo();
    CZapkPackagePageInfo(const CZapkPackagePageInfo&) = delete;
    CZapkPackagePageInfo& operator=(const CZapkPackagePageInfo&) = delete;

    // Points both views at devices under the group's key and filters them.
    void bindViews(QAbstractItemModel* devices);

    CStatusMapFilterModel* devicesModel() const { return m_devicesModel.get(); }
    CStatusMapFilterModel* failedDevicesModel() const { return m_failedDevicesModel.get(); }

    QString filePath;
    QString fileDescription;
    QString statusIndex;
    int count = 0;
    int errorCount = 0;
    int status = -1;
    int progress = 0;

private:
    std::unique_ptr<CStatusMapFilterModel> m_devicesModel;
    std::unique_ptr<CStatusMapFilterModel> m_failedDevicesModel;
};
