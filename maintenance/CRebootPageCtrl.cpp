#include "CRebootPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CRebootDevicesCtrl.h"

CRebootPageCtrl::CRebootPageCtrl(QObject* parent)
    : CPageCtrl(parent), m_devicesCtrl(new CRebootDevicesCtrl(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_devicesCtrl, &CRebootDevicesCtrl::jobFinished, this,
            &CRebootPageCtrl::OnCtrlComplete);
}

CRebootPageCtrl::~CRebootPageCtrl()
{
    m_devicesCtrl->disconnect(this);
}

QString CRebootPageCtrl::statusKey() const
{
    return CRebootDevicesCtrl::kStatusKey;
}

void CRebootPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes(
        {CCorvaneTableStatus::RebootPage_UnknownFail, CCorvaneTableStatus::RebootPage_Timeout,
         CCorvaneTableStatus::RebootPage_Unsupported, CCorvaneTableStatus::RebootPage_AuthFail});
}

void CRebootPageCtrl::AttachDevicesCtrl()
{
    m_devicesCtrl->SetModel(StatusLayer());
}

void CRebootPageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CRebootPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_devicesCtrl->IsWorking())
        m_devicesCtrl->Abort();
    setPageStatus(Nothing);
}

void CRebootPageCtrl::startOnFailed()
{
    start();
}

void CRebootPageCtrl::OnStart()
{
    if (m_devicesCtrl->IsWorking() || !m_devicesCtrl->Start()) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

int CRebootPageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    int notStarted = 0, rebooting = 0, done = 0, failed = 0;
    const QMap<int, int>& counts = StatusCounts();
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        const int status = it.key();
        if (status == -1 || status == CCorvaneTableStatus::RebootPage_Loading)
            notStarted += it.value();
        else if (status == CCorvaneTableStatus::RebootPage_Rebooting)
            rebooting += it.value();
        else if (status == CCorvaneTableStatus::RebootPage_Success)
            done += it.value();
        else
            failed += it.value();
    }
    // The first half covers the restart commands, the second the devices coming back.
    if (notStarted > 0)
        return (rebooting + done + failed) * 50 / rows;
    return 50 + done * 50 / rows;
}

void CRebootPageCtrl::OnCtrlComplete()
{
    if (!IsLeaving()) {
        setErrorCount(CountRows(
            [](int status) { return status != CCorvaneTableStatus::RebootPage_Success; }));
        setPageStatus(Finished);
        RefreshFailedModel();
    }
    emit completed();
}
