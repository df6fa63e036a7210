#include "CAssignIpPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CAssignIpDhcpCtrl.h"
#include "CAssignIpFixedCtrl.h"
#include "CAssignIpPageFilterModel.h"
#include "CAssignIpRangeCtrl.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CModelCtrl.h"

#include <QPersistentModelIndex>

namespace {

// The device roles the page copies from the main list, in the order they are written.
const QList<int> kCopiedRoles{CDeviceInfo::modelRole,     CDeviceInfo::ipRole,
                              CDeviceInfo::macRole,       CDeviceInfo::firmwareInfoRole,
                              CDeviceInfo::firmwareRole,  CDeviceInfo::usernameRole,
                              CDeviceInfo::passwordRole,  CDeviceInfo::httpPortRole,
                              CDeviceInfo::httpsPortRole, CDeviceInfo::aliasIpRole};

bool isConfirmed(const QModelIndex& index)
{
    return CAssignIpCtrl::StatusOf(index) == CAssignIpCtrl::Success &&
           !index.data(CDeviceInfo::newIpRole).toString().isEmpty();
}

} // namespace

CAssignIpPageCtrl::CAssignIpPageCtrl(QObject* parent)
    : QObject(parent), m_dhcpCtrl(new CAssignIpDhcpCtrl(this)),
      m_fixedCtrl(new CAssignIpFixedCtrl(this)), m_rangeCtrl(new CAssignIpRangeCtrl(this)),
      m_pageList(new CDeviceListModel(this))
{
    m_selectedLayer = new CAppendedDataModel("selectedRole", CDeviceInfo::selectedRole, 0, this);
    m_selectedLayer->setSourceModel(m_pageList);
    m_statusLayer = new CAppendedDataModel("statusRole", CDeviceInfo::statusRole,
                                           int(CAssignIpCtrl::Nothing), this);
    m_statusLayer->setSourceModel(m_selectedLayer);
    m_newIpLayer = new CAppendedDataModel("newIpRole", CDeviceInfo::newIpRole, QString(), this);
    m_newIpLayer->setSourceModel(m_statusLayer);
    m_filterModel = new CAssignIpPageFilterModel(this);
    m_filterModel->setSourceModel(m_newIpLayer);
    m_filterModelCtrl = new CModelCtrl(m_filterModel, this);
    for (CAssignIpCtrl* ctrl : Ctrls()) {
        ctrl->SetModel(m_filterModel);
        connect(ctrl, &CAssignIpCtrl::allVerified, this, &CAssignIpPageCtrl::OnCtrlCompleted);
    }
}

CAssignIpPageCtrl::~CAssignIpPageCtrl()
{
    for (CAssignIpCtrl* ctrl : Ctrls())
        ctrl->disconnect(this);
}

QList<CAssignIpCtrl*> CAssignIpPageCtrl::Ctrls() const
{
    return {m_dhcpCtrl, m_fixedCtrl, m_rangeCtrl};
}

bool CAssignIpPageCtrl::AnyWorking() const
{
    for (CAssignIpCtrl* ctrl : Ctrls()) {
        if (ctrl->IsWorking() || ctrl->IsVerifying())
            return true;
    }
    return false;
}

bool CAssignIpPageCtrl::SetMainModelCtrl(QObject* ctrl)
{
    auto* modelCtrl = qobject_cast<CModelCtrl*>(ctrl);
    if (!modelCtrl)
        return false;
    m_mainModelCtrl = modelCtrl;
    return true;
}

QAbstractItemModel* CAssignIpPageCtrl::DevicesModel() const
{
    return m_filterModel;
}

QObject* CAssignIpPageCtrl::DevicesModelCtrl() const
{
    return m_filterModelCtrl;
}

void CAssignIpPageCtrl::enterPage()
{
    if (!m_mainModelCtrl) {
        emit enterPageFailed(CtrlNotAvailable);
        return;
    }
    m_onlyFailed = false;
    if (!m_mainModelCtrl->copySelectedTo(m_pageList, kCopiedRoles)) {
        emit enterPageFailed(CtrlNotAvailable);
        return;
    }
    UpdateCounts();
    setWorking(false);
}

void CAssignIpPageCtrl::abortWorkingCtrl()
{
    for (CAssignIpCtrl* ctrl : Ctrls())
        ctrl->Abort();
    setWorking(false);
}

void CAssignIpPageCtrl::leavePage()
{
    abortWorkingCtrl();
    if (!m_mainModelCtrl || !m_mainModelCtrl->model())
        return;
    CDeviceSortFilterModel* mainView = m_mainModelCtrl->model();
    QList<QPersistentModelIndex> targets;
    for (int row : m_mainModelCtrl->selectedRows())
        targets << QPersistentModelIndex(mainView->index(row, 0));
    const int pairs = qMin(targets.size(), m_newIpLayer->rowCount());
    for (int i = 0; i < pairs; ++i) {
        // Only an address the device was found at again is its address now; an allotted address
        // that was refused or never confirmed would point the main list at nothing.
        const QModelIndex pageRow = m_newIpLayer->index(i, 0);
        const QString address = isConfirmed(pageRow)
                                    ? pageRow.data(CDeviceInfo::newIpRole).toString()
                                    : pageRow.data(CDeviceInfo::ipRole).toString();
        if (targets.at(i).isValid() &&
            targets.at(i).data(CDeviceInfo::ipRole).toString() != address)
            mainView->setData(targets.at(i), address, CDeviceInfo::ipRole);
    }
}

void CAssignIpPageCtrl::applyOnlyToFailed(bool b)
{
    m_onlyFailed = b;
}

void CAssignIpPageCtrl::CommitNewAddresses()
{
    for (int row = 0; row < m_newIpLayer->rowCount(); ++row) {
        const QModelIndex index = m_newIpLayer->index(row, 0);
        const QString newIp = index.data(CDeviceInfo::newIpRole).toString();
        if (newIp.isEmpty())
            continue;
        if (isConfirmed(index))
            m_newIpLayer->setData(index, newIp, CDeviceInfo::ipRole);
        // An unconfirmed allotment is dropped with the run it belonged to.
        m_newIpLayer->setData(index, QString(), CDeviceInfo::newIpRole);
    }
}

void CAssignIpPageCtrl::assignDhcp()
{
    if (AnyWorking()) {
        emit startFailed(CtrlNotAvailable);
        return;
    }
    if (!m_onlyFailed)
        CommitNewAddresses();
    m_dhcpCtrl->SetOnlyFailed(m_onlyFailed);
    StartCtrl(m_dhcpCtrl);
}

void CAssignIpPageCtrl::assignFixedIp(QString strIp, QString strSubnet, QString strRouter,
                                      QString strDns1, QString strDns2, bool isRangedDRM,
                                      int rangedDRMTime)
{
    if (AnyWorking()) {
        emit startFailed(CtrlNotAvailable);
        return;
    }
    if (!m_onlyFailed)
        CommitNewAddresses();
    m_fixedCtrl->SetOnlyFailed(m_onlyFailed);
    if (!m_fixedCtrl->SetParameters(strIp, strSubnet, strRouter, strDns1, strDns2, isRangedDRM,
                                    rangedDRMTime)) {
        emit startFailed(FixedIpInvalid);
        return;
    }
    StartCtrl(m_fixedCtrl);
}

void CAssignIpPageCtrl::assignIpRange(QString strIpStart, QString strIpEnd, QString strSubnet,
                                      QString strRouter, QString strDns1, QString strDns2,
                                      bool isRangedDRM, int rangedDRMTime)
{
    if (AnyWorking()) {
        emit startFailed(CtrlNotAvailable);
        return;
    }
    if (!m_onlyFailed)
        CommitNewAddresses();
    m_rangeCtrl->SetOnlyFailed(m_onlyFailed);
    switch (m_rangeCtrl->CheckInput(strIpStart, strIpEnd, strSubnet, strRouter, strDns1, strDns2,
                                    isRangedDRM, rangedDRMTime)) {
    case CAssignIpRangeCtrl::Ok:
        break;
    case CAssignIpRangeCtrl::WrongInputParam:
        emit startFailed(RangeIpFormatInvalid);
        return;
    case CAssignIpRangeCtrl::WrongIpRange:
        emit startFailed(RangeIpRangeInvalid);
        return;
    case CAssignIpRangeCtrl::NotEnoughIp:
        emit startFailed(RangeIpRangeNotEnough);
        return;
    default:
        emit startFailed(UnknownFail);
        return;
    }
    StartCtrl(m_rangeCtrl);
}

void CAssignIpPageCtrl::StartCtrl(CAssignIpCtrl* ctrl)
{
    if (!ctrl->Start()) {
        emit startFailed(CtrlNotAvailable);
        return;
    }
    setWorking(true);
}

void CAssignIpPageCtrl::OnCtrlCompleted()
{
    UpdateCounts();
    setWorking(false);
    emit completed();
}

void CAssignIpPageCtrl::UpdateCounts()
{
    int failed = 0;
    int skipped = 0;
    const int rows = m_newIpLayer->rowCount();
    for (int row = 0; row < rows; ++row) {
        const int status = CAssignIpCtrl::StatusOf(m_newIpLayer->index(row, 0));
        if (status == CAssignIpCtrl::Skipped)
            ++skipped;
        if (status != CAssignIpCtrl::Success && status != CAssignIpCtrl::Skipped &&
            status != CAssignIpCtrl::Nothing && status != CAssignIpCtrl::Loading)
            ++failed;
    }
    if (m_numDevices != rows) {
        m_numDevices = rows;
        emit numDevicesChanged();
    }
    if (m_numFailed != failed) {
        m_numFailed = failed;
        emit numFailedChanged();
    }
    if (m_numSkipped != skipped) {
        m_numSkipped = skipped;
        emit numSkippedChanged();
    }
}

void CAssignIpPageCtrl::setWorking(bool working)
{
    if (m_working == working)
        return;
    m_working = working;
    emit workingChanged();
}
