#include "CZapkLicensePageInfo.h"

#include "CCorvaneTableStatus.h"
#include "CStatusMapFilterModel.h"
#include "CZapkLicenseDeviceProxyModel.h"

CZapkLicensePageInfo::CZapkLicensePageInfo()
    : m_devicesModel(std::make_unique<CZapkLicenseDeviceProxyModel>()),
      m_failedDevicesModel(std::make_unique<CStatusMapFilterModel>())
{}

CZapkLicensePageInfo::~CZapkLicensePageInfo()
{
    // The failed view sits on the devices view: take it down first.
    m_failedDevicesModel.reset();
    m_devicesModel.reset();
}

void CZapkLicensePageInfo::bindViews(QAbstractItemModel* statusView, const QVector<int>& rows)
{
    m_devicesModel->setSourceModel(statusView);
    m_devicesModel->setRows(rows);
    m_failedDevicesModel->setStatusKey(statusIndex);
    m_failedDevicesModel->setAcceptedStatuses({CCorvaneTableStatus::ZapkLicensePage_Fail,
                                               CCorvaneTableStatus::ZapkLicensePage_NetworkError,
                                               CCorvaneTableStatus::ZapkLicensePage_CannotOpenFile,
                                               CCorvaneTableStatus::ZapkLicensePage_AuthFail,
                                               CCorvaneTableStatus::ZapkLicensePage_Timeout});
    m_failedDevicesModel->setSourceModel(m_devicesModel.get());
    m_failedDevicesModel->refresh();
}
