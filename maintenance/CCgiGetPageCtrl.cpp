#include "CCgiGetPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCgiGetDevicesCtrl.h"
#include "CCorvaneTableStatus.h"

CCgiGetPageCtrl::CCgiGetPageCtrl(QObject* parent)
    : CPageCtrl(parent), m_devicesCtrl(new CCgiGetDevicesCtrl(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_devicesCtrl, &CCgiGetDevicesCtrl::allCmdSent, this, &CCgiGetPageCtrl::OnCtrlComplete);
}

CCgiGetPageCtrl::~CCgiGetPageCtrl()
{
    m_devicesCtrl->disconnect(this);
}

QString CCgiGetPageCtrl::statusKey() const
{
    return CCgiGetDevicesCtrl::kStatusKey;
}

void CCgiGetPageCtrl::setCgiCmd(const QString& strCgiCmd)
{
    m_command = strCgiCmd;
}

void CCgiGetPageCtrl::setToFile(bool bToFile)
{
    m_toFile = bToFile;
}

void CCgiGetPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes(
        {CCorvaneTableStatus::CgiGetPage_UnknownFail, CCorvaneTableStatus::CgiGetPage_Unsupported,
         CCorvaneTableStatus::CgiGetPage_AuthFail, CCorvaneTableStatus::CgiGetPage_Timeout});
}

void CCgiGetPageCtrl::AttachDevicesCtrl()
{
    m_devicesCtrl->SetModel(StatusLayer());
}

void CCgiGetPageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CCgiGetPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_devicesCtrl->IsWorking())
        m_devicesCtrl->Abort();
    setPageStatus(Nothing);
}

void CCgiGetPageCtrl::startOnFailed()
{
    start();
}

void CCgiGetPageCtrl::OnStart()
{
    if (m_devicesCtrl->IsWorking() || !m_devicesCtrl->Start(m_command, m_toFile)) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

int CCgiGetPageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    return CountRows([](int status) { return status == CCorvaneTableStatus::CgiGetPage_Success; }) *
           100 / rows;
}

void CCgiGetPageCtrl::OnCtrlComplete()
{
    if (!IsLeaving()) {
        setErrorCount(CountRows(
            [](int status) { return status != CCorvaneTableStatus::CgiGetPage_Success; }));
        setPageStatus(Finished);
        RefreshFailedModel();
    }
    emit completed();
}
