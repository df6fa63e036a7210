#include "CExportDebugPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CExportDebugCtrl.h"

#include <QDir>
#include <QtDebug>

CExportDebugPageCtrl::CExportDebugPageCtrl(QObject* parent)
    : CPageCtrl(parent), m_devicesCtrl(new CExportDebugCtrl(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_devicesCtrl, &CExportDebugCtrl::allCmdSent, this,
            &CExportDebugPageCtrl::OnCtrlComplete);
}

CExportDebugPageCtrl::~CExportDebugPageCtrl()
{
    m_devicesCtrl->disconnect(this);
}

QString CExportDebugPageCtrl::statusKey() const
{
    return CExportDebugCtrl::kStatusKey;
}

void CExportDebugPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes({CCorvaneTableStatus::ExportDebugPage_UnknownFail,
                     CCorvaneTableStatus::ExportDebugPage_Timeout,
                     CCorvaneTableStatus::ExportDebugPage_WriteFailed,
                     CCorvaneTableStatus::ExportDebugPage_AuthFail});
}

void CExportDebugPageCtrl::AttachDevicesCtrl()
{
    m_devicesCtrl->SetModel(StatusLayer());
}

void CExportDebugPageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
    m_devicesCtrl->SetExportRootDir(QString());
}

void CExportDebugPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_devicesCtrl->IsWorking())
        m_devicesCtrl->Abort();
    setPageStatus(Nothing);
}

bool CExportDebugPageCtrl::setExportRootDirToUrl(QUrl url)
{
    if (m_devicesCtrl->IsWorking())
        return false;
    m_devicesCtrl->SetExportRootDir(url.toLocalFile());
    return true;
}

QUrl CExportDebugPageCtrl::getLastExportDirUrl() const
{
    return QUrl::fromLocalFile(QDir(m_devicesCtrl->RunFolder()).absolutePath());
}

QString CExportDebugPageCtrl::getLastExportDir() const
{
    return QDir(m_devicesCtrl->RunFolder()).dirName();
}

void CExportDebugPageCtrl::OnStart()
{
    // Nothing to export is refused as the other pages refuse a start they cannot make.
    if (RowCount() == 0 || m_devicesCtrl->IsWorking() || !m_devicesCtrl->Start()) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

void CExportDebugPageCtrl::startOnFailed()
{
    if (m_devicesCtrl->IsWorking() || !m_devicesCtrl->RestartFailed()) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

int CExportDebugPageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    const QMap<int, int>& counts = StatusCounts();
    const int settled = counts.value(CCorvaneTableStatus::ExportDebugPage_Success) +
                        counts.value(CCorvaneTableStatus::ExportDebugPage_Unsupported);
    return settled * 100 / rows;
}

void CExportDebugPageCtrl::OnCtrlComplete()
{
    if (!IsLeaving()) {
        const auto isError = [](int status) {
            return status != CCorvaneTableStatus::ExportDebugPage_Success &&
                   status != CCorvaneTableStatus::ExportDebugPage_Unsupported;
        };
        setErrorCount(CountRows(isError));
        bool writeFailed = false;
        for (int row = 0; row < RowCount(); ++row) {
            const int status = StatusAt(row);
            if (isError(status))
                qDebug() << "ERROR:"
                         << StatusLayer()->index(row, 0).data(CDeviceInfo::ipRole).toString()
                         << status;
            writeFailed = writeFailed || status == CCorvaneTableStatus::ExportDebugPage_WriteFailed;
        }
        setPageStatus(Finished);
        if (writeFailed)
            emit writeFileFailed();
        RefreshFailedModel();
    }
    emit completed();
}
