#pragma once

#include <QString>
#include <QVariantList>
#include <memory>

class CFirmwareDevicesProxyModel;
class CStatusMapFilterModel;
class QAbstractItemModel;

// One model group of the firmware page: the devices of one model name, the file chosen for them
// and the group's state in the queue.
class CFirmwarePageInfo
{
public:
    // Builds the group's two views over the page's status layer: its devices (the given rows)
    // and, above them, those that ended at a failure code.
    CFirmwarePageInfo(QAbstractItemModel* statusLayer, const QString& model,
                      const QString& firmwareModel, const QVariantList& rows,
                      const QString& groupName);
    ~CFirmwarePageInfo();
    CFirmwarePageInfo(const CFirmwarePageInfo&) = delete;
    CFirmwarePageInfo& operator=(const CFirmwarePageInfo&) = delete;

    CFirmwareDevicesProxyModel* devicesModel() const { return m_devicesModel.get(); }
    CStatusMapFilterModel* failedDevicesModel() const { return m_failedDevicesModel.get(); }

    QString firmwarePath;
    QString fileName;
    QString model;
    QString firmwareModel;
    int count = 0;
    int errorCount = 0;
    int status = -1;
    int progress = 0;
    QVariantList rowList;
    QString groupName;

private:
    std::unique_ptr<CFirmwareDevicesProxyModel> m_devicesModel;
    std::unique_ptr<CStatusMapFilterModel> m_failedDevicesModel;
};
