#include "CZapkPackagePageInfo.h"

#include "CCorvaneTableStatus.h"
#include "CStatusMapFilterModel.h"

CZapkPackagePageInfo::CZapkPackagePageInfo()
    : m_devicesModel(std::make_unique<CStatusMapFilterModel>()),
      m_failedDevicesModel(std::make_unique<CStatusMapFilterModel>())
{}

CZapkPackagePageInfo::~CZapkPackagePageInfo() = default;

void CZapkPackagePageInfo::bindViews(QAbstractItemModel* devices)
{
    m_devicesModel->setStatusKey(statusIndex);
    m_devicesModel->setAcceptAny(true);
    m_devicesModel->setSourceModel(devices);
    m_devicesModel->refresh();
    m_failedDevicesModel->setStatusKey(statusIndex);
    m_failedDevicesModel->setAcceptedStatuses({CCorvaneTableStatus::ZapkPackagePage_Fail,
                                               CCorvaneTableStatus::ZapkPackagePage_NetworkError,
                                               CCorvaneTableStatus::ZapkPackagePage_CannotOpenFile,
                                               CCorvaneTableStatus::ZapkPackagePage_AuthFail,
                                               CCorvaneTableStatus::ZapkPackagePage_Timeout});
    m_failedDevicesModel->setSourceModel(devices);
    m_failedDevicesModel->refresh();
}
