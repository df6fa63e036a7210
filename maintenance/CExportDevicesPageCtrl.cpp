#include "CExportDevicesPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CExportDevicesCtrl.h"

#include <QDateTime>
#include <QDir>

CExportDevicesPageCtrl::CExportDevicesPageCtrl(QObject* parent)
    : CPageCtrl(parent), m_devicesCtrl(new CExportDevicesCtrl(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_devicesCtrl, &CExportDevicesCtrl::succeeded, this,
            &CExportDevicesPageCtrl::OnCtrlComplete);
    connect(m_devicesCtrl, &CExportDevicesCtrl::writeFileFailed, this,
            &CExportDevicesPageCtrl::OnWriteFileFailed);
}

CExportDevicesPageCtrl::~CExportDevicesPageCtrl()
{
    m_devicesCtrl->disconnect(this);
}

QString CExportDevicesPageCtrl::statusKey() const
{
    return CExportDevicesCtrl::kStatusKey;
}

void CExportDevicesPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes({CCorvaneTableStatus::ExportDevicesPage_UnknownFail,
                     CCorvaneTableStatus::ExportDevicesPage_Timeout,
                     CCorvaneTableStatus::ExportDevicesPage_Unsupported,
                     CCorvaneTableStatus::ExportDevicesPage_AuthFail});
}

void CExportDevicesPageCtrl::AttachDevicesCtrl()
{
    m_devicesCtrl->SetModel(StatusLayer());
}

void CExportDevicesPageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CExportDevicesPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_devicesCtrl->IsWorking())
        m_devicesCtrl->Abort();
    setPageStatus(Nothing);
}

void CExportDevicesPageCtrl::start(QUrl url)
{
    const QString fileName = url.fileName(QUrl::FullyDecoded);
    // Nothing to export is refused like a file name that names nothing.
    if (fileName.isEmpty() || RowCount() == 0 || m_devicesCtrl->IsWorking()) {
        emit startFailed(0);
        return;
    }
    const QString dir = url.adjusted(QUrl::RemoveFilename).toLocalFile();
    m_lastDir = dir;
    m_lastFileName = fileName;
    if (!m_devicesCtrl->Start(dir, fileName)) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

void CExportDevicesPageCtrl::startOnFailed()
{
    if (m_lastFileName.isEmpty() || !m_devicesCtrl->RestartFailed()) {
        emit startFailed(0);
        return;
    }
    setProgress(0);
    setPageStatus(Working);
}

QUrl CExportDevicesPageCtrl::lastDirPath() const
{
    return QUrl::fromLocalFile(QDir(m_lastDir).absolutePath());
}

QString CExportDevicesPageCtrl::lastFilename() const
{
    return m_lastFileName;
}

QString CExportDevicesPageCtrl::createFilename() const
{
    return QStringLiteral("Device list_") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")) +
           QStringLiteral(".csv");
}

int CExportDevicesPageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    return StatusCounts().value(CCorvaneTableStatus::ExportDevicesPage_Success) * 100 / rows;
}

void CExportDevicesPageCtrl::OnWriteFileFailed()
{
    emit writeFileFailed();
    // The run is over even though its file is not: the page must not stay at work.
    OnCtrlComplete();
}

void CExportDevicesPageCtrl::OnCtrlComplete()
{
    if (!IsLeaving()) {
        setErrorCount(CountRows(
            [](int status) { return status != CCorvaneTableStatus::ExportDevicesPage_Success; }));
        setPageStatus(Finished);
        RefreshFailedModel();
    }
    emit completed();
}
