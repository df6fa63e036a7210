#include "CFirmwarePageInfo.h"

#include "CCorvaneTableStatus.h"
#include "CFirmwareDevicesProxyModel.h"
#include "CStatusMapFilterModel.h"

CFirmwarePageInfo::CFirmwarePageInfo(QAbstractItemModel* statusLayer, const QString& model_,
                                     const QString& firmwareModel_, const QVariantList& rows,
                                     const QString& groupName_)
    : model(model_), firmwareModel(firmwareModel_), count(rows.size()), rowList(rows),
      groupName(groupName_), m_devicesModel(std::make_unique<CFirmwareDevicesProxyModel>()),
      m_failedDevicesModel(std::make_unique<CStatusMapFilterModel>())
{
    m_devicesModel->setSourceModel(statusLayer);
    m_devicesModel->setRows(rows);
    m_failedDevicesModel->setStatusKey(QStringLiteral("firmware"));
    m_failedDevicesModel->setAcceptedStatuses(
        {CCorvaneTableStatus::FirmwarePage_Fail, CCorvaneTableStatus::FirmwarePage_CannotOpenFile,
         CCorvaneTableStatus::FirmwarePage_NetworkError, CCorvaneTableStatus::FirmwarePage_AuthFail,
         CCorvaneTableStatus::FirmwarePage_Timeout});
    m_failedDevicesModel->setSourceModel(m_devicesModel.get());
    m_failedDevicesModel->refresh();
}

CFirmwarePageInfo::~CFirmwarePageInfo()
{
    // The failed view sits on the devices view: take it down first.
    m_failedDevicesModel.reset();
    m_devicesModel.reset();
}
