#include "CRestorePageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CRestoreDevicesCtrl.h"

CRestorePageCtrl::CRestorePageCtrl(QObject* parent)
    : CPageCtrl(parent), m_devicesCtrl(new CRestoreDevicesCtrl(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_devicesCtrl, &CRestoreDevicesCtrl::allCmdSent, this,
            &CRestorePageCtrl::OnCtrlComplete);
}

CRestorePageCtrl::~CRestorePageCtrl()
{
    m_devicesCtrl->disconnect(this);
}

QString CRestorePageCtrl::statusKey() const
{
    return CRestoreDevicesCtrl::kStatusKey;
}

void CRestorePageCtrl::setExcludeGroup(int iExclude)
{
    m_devicesCtrl->SetExcludeGroup(iExclude);
}

void CRestorePageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes(
        {CCorvaneTableStatus::RestorePage_UnknownFail, CCorvaneTableStatus::RestorePage_Timeout,
         CCorvaneTableStatus::RestorePage_Unsupported, CCorvaneTableStatus::RestorePage_AuthFail});
}

void CRestorePageCtrl::AttachDevicesCtrl()
{
    m_devicesCtrl->SetModel(StatusLayer());
}

void CRestorePageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CRestorePageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_devicesCtrl->IsWorking())
        m_devicesCtrl->Abort();
    setPageStatus(Nothing);
}

void CRestorePageCtrl::startOnFailed()
{
    start();
}

void CRestorePageCtrl::OnStart()
{
    if (m_devicesCtrl->IsWorking() || !m_devicesCtrl->Start()) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

int CRestorePageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    return CountRows(
               [](int status) { return status == CCorvaneTableStatus::RestorePage_Success; }) *
           100 / rows;
}

void CRestorePageCtrl::OnCtrlComplete()
{
    if (!IsLeaving()) {
        setErrorCount(CountRows(
            [](int status) { return status != CCorvaneTableStatus::RestorePage_Success; }));
        setPageStatus(Finished);
        RefreshFailedModel();
    }
    emit completed();
}
