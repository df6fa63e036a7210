#include "CExportDebugCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CExportFileCtrl.h"
#include "ExportNames.h"
#include "ModelNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMetaObject>

const QString CExportDebugCtrl::kStatusKey = QStringLiteral("exportDebug");
const QString CExportDebugCtrl::kRunFolderPrefix = QStringLiteral("Debug_report");

namespace {

// "attachment; filename=" comes before the name the device gives its file.
constexpr int kDispositionPrefix = 21;

QVariantMap command(const QString& path, const QString& parameter)
{
    return {{QStringLiteral("getPath"), path},
            {QStringLiteral("parameters"), QStringList{parameter}}};
}

} // namespace

CExportDebugCtrl::CExportDebugCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_runner(std::make_shared<CExportFileCtrl>())
{
    connect(m_runner.get(), &CExportFileCtrl::saveFile, this, &CExportDebugCtrl::saveFileHandler);
    connect(m_runner.get(), &CExportFileCtrl::changeStatus, this,
            &CExportDebugCtrl::exportFileResultHandler);
    connect(m_runner.get(), &CExportFileCtrl::finished, this,
            &CExportDebugCtrl::exportFileFinishHandler);
}

CExportDebugCtrl::~CExportDebugCtrl()
{
    m_runner->disconnect(this);
}

int CExportDebugCtrl::MapResult(CHttpClient2::ENetworkError result)
{
    switch (result) {
    case CHttpClient2::eSuccess:
        return CCorvaneTableStatus::ExportDebugPage_Success;
    case CHttpClient2::eTimeout:
        return CCorvaneTableStatus::ExportDebugPage_Timeout;
    case CHttpClient2::eAuthFail:
        return CCorvaneTableStatus::ExportDebugPage_AuthFail;
    case CHttpClient2::eUnsupported:
        return CCorvaneTableStatus::ExportDebugPage_Unsupported;
    default:
        return CCorvaneTableStatus::ExportDebugPage_UnknownFail;
    }
}

bool CExportDebugCtrl::Start()
{
    if (m_working || !m_model)
        return false;
    const QString name = kRunFolderPrefix + QLatin1Char('_') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmm"));
    // Paths stay absolute: the program's working directory is nobody's business here.
    const QDir root(QDir(m_rootDir).absolutePath());
    if (root.mkpath(name))
        m_runFolder = QDir::cleanPath(root.absoluteFilePath(name));
    else
        m_runFolder = root.absolutePath();
    return Run(false);
}

bool CExportDebugCtrl::RestartFailed()
{
    if (m_working || !m_model)
        return false;
    if (m_runFolder.isEmpty())
        m_runFolder = QDir(m_rootDir).absolutePath();
    return Run(true);
}

bool CExportDebugCtrl::Run(bool onlyFailed)
{
    m_devices.clear();
    bool recorder = false;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        // A device whose last reply was a 404 has given all it has: it is settled, not failed.
        const int status = StatusOf(index, kStatusKey);
        if (onlyFailed && (status == CCorvaneTableStatus::ExportDebugPage_Success ||
                           status == CCorvaneTableStatus::ExportDebugPage_Unsupported))
            continue;
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::ExportDebugPage_Loading);
        QVariantMap context = RowContext(index);
        const QString firmwareInfo = index.data(CDeviceInfo::firmwareInfoRole).toString();
        context.insert(QStringLiteral("model"), index.data(CDeviceInfo::modelRole).toString());
        context.insert(QStringLiteral("firmwareinfo"), firmwareInfo);
        const QString key = QStringLiteral("%1_%2").arg(
            context.value(QStringLiteral("ip")).toString(),
            QString::number(context.value(QStringLiteral("httpPort")).toUInt()));
        context.insert(QStringLiteral("context"),
                       QVariantMap{{QStringLiteral("modelIndex"), context.value("context")},
                                   {QStringLiteral("export_key"), key}});
        recorder = recorder || isRecorderModel(firmwareInfo);
        m_devices << context;
    }
    const QVariantMap backup =
        command(QStringLiteral("/cgi-bin/admin/export_backup.cgi"), QStringLiteral("backup"));
    if (recorder)
        m_commands = {backup};
    else
        m_commands = {
            backup,
            command(QStringLiteral("/cgi-bin/admin/export_report.cgi"),
                    QStringLiteral("serverreport")),
            command(QStringLiteral("/VCA/cgi-bin/export_file.cgi"), QStringLiteral("backup")),
            command(QStringLiteral("/VCA/cgi-bin/export_log.cgi"), QStringLiteral("backup"))};
    SetWorking(true);
    m_aborting = false;
    m_nextDevice = 0;
    if (m_devices.isEmpty()) {
        // Every device has succeeded already: the run is over without a request.
        QMetaObject::invokeMethod(this, &CExportDebugCtrl::exportFileFinishHandler,
                                  Qt::QueuedConnection);
        return true;
    }
    SendNextChunk();
    return true;
}

void CExportDebugCtrl::SendNextChunk()
{
    // The devices go in groups, so that only a bounded number of downloads is ever held at once;
    // each group has the runner's time-out to itself.
    const QVariantList chunk = m_devices.mid(m_nextDevice, m_devicesInFlight);
    m_nextDevice += chunk.size();
    m_runner->Start(chunk, m_commands);
}

void CExportDebugCtrl::Abort()
{
    if (!m_working)
        return;
    m_aborting = true;
    m_runner->Abort();
    // Devices of later groups were never asked.
    for (int i = m_nextDevice; i < m_devices.size(); ++i) {
        const QModelIndex index = RowOf(m_devices.at(i).toMap().value(QStringLiteral("context")));
        if (StatusOf(index, kStatusKey) == CCorvaneTableStatus::ExportDebugPage_Loading)
            WriteStatus(index, kStatusKey, CCorvaneTableStatus::ExportDebugPage_Timeout);
    }
    if (m_working) {
        SetWorking(false);
        emit allCmdSent();
    }
}

QModelIndex CExportDebugCtrl::RowOf(const QVariant& context)
{
    return IndexFromContext(context.toMap().value(QStringLiteral("modelIndex")));
}

QString CExportDebugCtrl::DeviceFolder(const QModelIndex& index) const
{
    QString mac = index.data(CDeviceInfo::macRole).toString();
    QString model = index.data(CDeviceInfo::modelRole).toString();
    if (mac.isEmpty())
        mac = QStringLiteral("unknownMAC");
    if (model.isEmpty())
        model = QStringLiteral("unknownModel");
    return QDir(m_runFolder).filePath(safeFolderName(mac + QLatin1Char('_') + model));
}

bool CExportDebugCtrl::SaveFile(const QModelIndex& index, const QVariantMap& response)
{
    const QString name = safeFileName(
        response.value(QStringLiteral("content_disposition")).toString().mid(kDispositionPrefix));
    if (name.isEmpty())
        return false;
    const QString folder = DeviceFolder(index);
    if (!QDir().mkpath(folder))
        return false;
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray body = response.value(QStringLiteral("message")).toByteArray();
    const bool written = file.write(body) == body.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void CExportDebugCtrl::saveFileHandler(const QVariant& context, CHttpClient2::ENetworkError error,
                                       const QVariant& response)
{
    const QModelIndex index = RowOf(context);
    if (!index.isValid())
        return;
    const int code = MapResult(error);
    if (code == CCorvaneTableStatus::ExportDebugPage_Success) {
        if (!SaveFile(index, response.toMap()))
            WriteStatus(index, kStatusKey, CCorvaneTableStatus::ExportDebugPage_WriteFailed);
    } else if (code != CCorvaneTableStatus::ExportDebugPage_Unsupported) {
        WriteStatus(index, kStatusKey, code);
    }
}

void CExportDebugCtrl::exportFileResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError error,
                                               const QVariant& response)
{
    Q_UNUSED(response)
    const QModelIndex index = RowOf(context);
    if (StatusOf(index, kStatusKey) == CCorvaneTableStatus::ExportDebugPage_Loading)
        WriteStatus(index, kStatusKey, MapResult(error));
}

void CExportDebugCtrl::exportFileFinishHandler()
{
    if (!m_working)
        return;
    if (!m_aborting && m_nextDevice < m_devices.size()) {
        // Not from inside the runner's own reply handling, which is still on the stack.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_working && !m_aborting)
                    SendNextChunk();
            },
            Qt::QueuedConnection);
        return;
    }
    SetWorking(false);
    emit allCmdSent();
}
