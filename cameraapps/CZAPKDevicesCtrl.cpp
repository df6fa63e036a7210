#include "CZAPKDevicesCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CExportFileCtrl.h"
#include "CGetParamCtrl.h"
#include "CSetParamCtrl.h"
#include "CUploadFileCtrl.h"
#include "ExportNames.h"
#include "ParamReply.h"
#include "StatusEntry.h"
#include "ZapkUploadRefusal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpPart>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPersistentModelIndex>
#include <QTimer>

const QString CZAPKDevicesCtrl::kTrendMicro = QStringLiteral("Trend Micro IoT Security");

namespace {

const QString kOnOffKey = QStringLiteral("zapkOnOff");
const QString kUninstallKey = QStringLiteral("zapkUninstall");
const QString kTrendUploadKey = QStringLiteral("zapkTrendMicroUpload");
const QString kZapkCtrlPath = QStringLiteral("/cgi-bin/admin/zapkctrl.cgi");
const QString kTrendExportModule = QStringLiteral("Trend Micro");
// "attachment; filename=" in front of the name a device gives its download.
const int kDispositionPrefix = 21;

enum
{
    kLoading = CCorvaneTableStatus::ZAPKPage_Loading,
    kSuccess = CCorvaneTableStatus::ZAPKPage_Success,
    kUnknownFail = CCorvaneTableStatus::ZAPKPage_UnknownFail,
    kAuthFail = CCorvaneTableStatus::ZAPKPage_AuthFail,
    kTimeout = CCorvaneTableStatus::ZAPKPage_Timeout,
    kUnsupportedVersion = CCorvaneTableStatus::ZAPKPage_UnsupportedVersion
};

QByteArray messageOf(const QVariant& response)
{
    return response.toMap().value(QStringLiteral("message")).toByteArray();
}

} // namespace

CZAPKDevicesCtrl::CZAPKDevicesCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_onOffRunner(new CSetParamCtrl(this)),
      m_signatureRunner(new CGetParamCtrl(this)), m_moduleStatusRunner(new CGetParamCtrl(this)),
      m_uninstallRunner(new CSetParamCtrl(this)), m_updateModeRunner(new CGetParamCtrl(this)),
      m_exportRunner(new CExportFileCtrl(this)), m_trendUploadRunner(new CUploadFileCtrl(this)),
      m_moduleUploadRunner(new CUploadFileCtrl(this))
{
    m_onOffRunner->SetPath(kZapkCtrlPath);
    m_uninstallRunner->SetPath(kZapkCtrlPath);
    m_signatureRunner->SetPath(QStringLiteral("/Trend-Micro-IoT-Security/cgi-bin/GetVersion.cgi"));
    m_signatureRunner->SetParameters({QStringLiteral("SigVersion")});
    m_updateModeRunner->SetPath(QStringLiteral("/Trend-Micro-IoT-Security/cgi-bin/StartTMIS.cgi"));
    m_trendUploadRunner->SetPath(QStringLiteral("/Trend-Micro-IoT-Security/cgi-bin/Upload.cgi"));
    m_trendUploadRunner->SetPartName(QStringLiteral("fileSig"));
    m_trendUploadRunner->SetTimeout(60000);
    m_moduleUploadRunner->SetTimeout(60000);

    connect(m_onOffRunner, &CSetParamCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::turnOnOffPackageResultHandler);
    connect(m_onOffRunner, &CSetParamCtrl::finished, this,
            &CZAPKDevicesCtrl::turnOnOffPackageFinishedHandler);
    connect(m_signatureRunner, &CGetParamCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::handleGetTrendMicroSignatureResult);
    connect(m_signatureRunner, &CGetParamCtrl::finished, this,
            &CZAPKDevicesCtrl::handleGetTrendMicroSignatureFinished);
    connect(m_moduleStatusRunner, &CGetParamCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::handleGetZapkModuleStatusResult);
    connect(m_moduleStatusRunner, &CGetParamCtrl::finished, this,
            &CZAPKDevicesCtrl::handleGetZapkModuleStatusFinished);
    connect(m_uninstallRunner, &CSetParamCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::removeZapkResultHandler);
    connect(m_uninstallRunner, &CSetParamCtrl::finished, this,
            &CZAPKDevicesCtrl::removeZapkFinishedHandler);
    connect(m_updateModeRunner, &CGetParamCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::setTrendMicroAutoUpdateResultHandler);
    connect(m_updateModeRunner, &CGetParamCtrl::finished, this,
            &CZAPKDevicesCtrl::setTrendMicroAutoUpdateFinishedHandler);
    connect(m_exportRunner, &CExportFileCtrl::saveFile, this, &CZAPKDevicesCtrl::saveFileHandler);
    connect(m_exportRunner, &CExportFileCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::exportFileResultHandler);
    connect(m_exportRunner, &CExportFileCtrl::finished, this,
            &CZAPKDevicesCtrl::exportFileFinishedHandler);
    connect(m_trendUploadRunner, &CUploadFileCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::uploadTrendMicroConfigResultHandler);
    connect(m_trendUploadRunner, &CUploadFileCtrl::finished, this,
            &CZAPKDevicesCtrl::uploadTrendMicroConfigFinishedHandler);
    connect(m_moduleUploadRunner, &CUploadFileCtrl::changeStatus, this,
            &CZAPKDevicesCtrl::uploadStereoConfigResultHandler);
    connect(m_moduleUploadRunner, &CUploadFileCtrl::finished, this,
            &CZAPKDevicesCtrl::uploadStereoConfigFinishedHandler);
}

CZAPKDevicesCtrl::~CZAPKDevicesCtrl()
{
    for (QObject* runner : std::initializer_list<QObject*>{
             m_onOffRunner, m_signatureRunner, m_moduleStatusRunner, m_uninstallRunner,
             m_updateModeRunner, m_exportRunner, m_trendUploadRunner, m_moduleUploadRunner})
        runner->disconnect(this);
}

int CZAPKDevicesCtrl::ResultCode(CHttpClient2::ENetworkError result)
{
    switch (result) {
    case CHttpClient2::eSuccess:
        return kSuccess;
    case CHttpClient2::eTimeout:
        return kTimeout;
    case CHttpClient2::eAuthFail:
        return kAuthFail;
    default:
        return kUnknownFail;
    }
}

int CZAPKDevicesCtrl::CompareVersions(const QString& a, const QString& b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (int i = 0; i < qMax(left.size(), right.size()); ++i) {
        const int x = left.value(i).toInt();
        const int y = right.value(i).toInt();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QString CZAPKDevicesCtrl::ConfigUploadPath(const QString& module)
{
    if (module == QLatin1String("Rureru Revevaz"))
        return QStringLiteral("/Stereo-Counting/cgi-bin/upload_file.cgi");
    if (module == QLatin1String("VCA") || module == QLatin1String("Zovu Rorevazu ZAV"))
        return QStringLiteral("/VCA/cgi-bin/upload_file.cgi");
    if (module == QLatin1String("ANPR"))
        return QStringLiteral("/NEVRA/cgi-bin/nevrcgi.cgi");
    return QString();
}

QList<QModelIndex> CZAPKDevicesCtrl::SelectedRows() const
{
    QList<QModelIndex> rows;
    if (!m_model)
        return rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (index.data(CDeviceInfo::selectedRole).toBool())
            rows.append(index);
    }
    return rows;
}

QVariantMap CZAPKDevicesCtrl::ModuleContext(const QModelIndex& index) const
{
    QVariantMap context = RowContext(index);
    context.insert(QStringLiteral("zapkIndexRole"), index.data(CDeviceInfo::zapkIdxRole).toInt());
    return context;
}

void CZAPKDevicesCtrl::WriteCode(const QModelIndex& index, int code)
{
    writeStatusEntry(index, m_key, code);
}

void CZAPKDevicesCtrl::WriteResult(const QVariant& context, CHttpClient2::ENetworkError result)
{
    WriteCode(IndexFromContext(context), ResultCode(result));
}

void CZAPKDevicesCtrl::Finish()
{
    SetWorking(false);
    emit allCmdSent();
}

// Start and stop ------------------------------------------------------------------------------

QVariantList CZAPKDevicesCtrl::OnOffJobs(const QString& cmd)
{
    QVariantList jobs;
    for (const QModelIndex& index : SelectedRows()) {
        WriteCode(index, kLoading);
        QVariantMap context = ModuleContext(index);
        context.insert(QStringLiteral("data"),
                       QStringLiteral("cmd=%1&idx=%2")
                           .arg(cmd, index.data(CDeviceInfo::zapkIdxRole).toString())
                           .toUtf8());
        jobs.append(context);
    }
    return jobs;
}

bool CZAPKDevicesCtrl::TurnOnOff(bool on)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    m_lastOnOffJobs = OnOffJobs(on ? QStringLiteral("start") : QStringLiteral("stop"));
    if (m_lastOnOffJobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::turnOnOffPackageFinishedHandler);
    else
        m_onOffRunner->Start(m_lastOnOffJobs);
    return true;
}

void CZAPKDevicesCtrl::turnOnOffPackageResultHandler(const QVariant& context,
                                                     CHttpClient2::ENetworkError result,
                                                     const QVariant& response)
{
    Q_UNUSED(response)
    WriteResult(context, result);
}

void CZAPKDevicesCtrl::turnOnOffPackageFinishedHandler()
{
    if (!m_working)
        return;
    if (m_aborting) {
        Finish();
        return;
    }
    GetSignature(true, true);
}

void CZAPKDevicesCtrl::RunModuleStatusQuery()
{
    QVariantList jobs;
    for (const QVariant& value : qAsConst(m_lastOnOffJobs)) {
        QVariantMap job = value.toMap();
        const QModelIndex index = IndexFromContext(job.value(QStringLiteral("context")));
        if (!index.isValid() || StatusOf(index, kOnOffKey) != kSuccess)
            continue;
        job.remove(QStringLiteral("data"));
        job.insert(QStringLiteral("getPath"), QStringLiteral("/cgi-bin/admin/getparam.cgi"));
        job.insert(QStringLiteral("parameters"),
                   QStringList{QStringLiteral("zapk_module_i%1_status")
                                   .arg(job.value(QStringLiteral("zapkIndexRole")).toInt())});
        jobs.append(job);
    }
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::handleGetZapkModuleStatusFinished);
    else
        m_moduleStatusRunner->StartEach(jobs);
}

void CZAPKDevicesCtrl::handleGetZapkModuleStatusResult(const QVariant& context,
                                                       CHttpClient2::ENetworkError result,
                                                       const QVariant& response)
{
    const QModelIndex index = IndexFromContext(context);
    if (!index.isValid())
        return;
    if (result != CHttpClient2::eSuccess) {
        WriteCode(index, ResultCode(result));
        return;
    }
    const QString key =
        QStringLiteral("zapk_module_i%1_status").arg(index.data(CDeviceInfo::zapkIdxRole).toInt());
    QString status;
    for (const auto& pair : parseParamPairs(messageOf(response))) {
        if (pair.first == key)
            status = pair.second;
    }
    m_model->setData(index, status, CDeviceInfo::zapkStatusRole);
    WriteCode(index, kSuccess);
}

void CZAPKDevicesCtrl::handleGetZapkModuleStatusFinished()
{
    if (!m_working)
        return;
    bool allOn = true;
    for (const QVariant& value : qAsConst(m_lastOnOffJobs)) {
        const QModelIndex index = IndexFromContext(value.toMap().value(QStringLiteral("context")));
        if (!index.isValid() || StatusOf(index, kOnOffKey) != kSuccess)
            continue;
        const QString status = index.data(CDeviceInfo::zapkStatusRole).toString();
        if (status.isEmpty() || status == QLatin1String("off"))
            allOn = false;
    }
    SetWorking(false);
    emit verified(allOn);
}

// Trend Micro signature and update mode -------------------------------------------------------

void CZAPKDevicesCtrl::GetSignature(bool forced, bool selectedOnly)
{
    QVariantList jobs;
    if (m_model) {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const QModelIndex index = m_model->index(row, 0);
            if (index.data(CDeviceInfo::zapkNameRole).toString() != kTrendMicro)
                continue;
            if (!forced && index.data(CDeviceInfo::zapkSignatureRole).toString() != "N/A")
                continue;
            if (selectedOnly && !index.data(CDeviceInfo::selectedRole).toBool())
                continue;
            const QVariantMap map = index.data(CDeviceInfo::statusRole).toMap();
            const int onOff = StatusOf(index, kOnOffKey);
            if (map.contains(kOnOffKey) && onOff != kSuccess && onOff != -1)
                continue;
            jobs.append(ModuleContext(index));
        }
    }
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::handleGetTrendMicroSignatureFinished);
    else
        m_signatureRunner->Start(jobs);
}

void CZAPKDevicesCtrl::handleGetTrendMicroSignatureResult(const QVariant& context,
                                                          CHttpClient2::ENetworkError result,
                                                          const QVariant& response)
{
    const QModelIndex index = IndexFromContext(context);
    if (!index.isValid())
        return;
    const QString text = QString::fromUtf8(messageOf(response)).trimmed();
    const bool ok = result == CHttpClient2::eSuccess && text.contains(QLatin1Char('.'));
    m_model->setData(index, ok ? text : QStringLiteral("N/A"), CDeviceInfo::zapkSignatureRole);
    WriteCode(index, ResultCode(result));
}

void CZAPKDevicesCtrl::handleGetTrendMicroSignatureFinished()
{
    // A query the page asked for on its own runs outside any action: nothing follows it.
    if (!m_working)
        return;
    if (m_aborting) {
        Finish();
        return;
    }
    if (m_key == kOnOffKey)
        RunModuleStatusQuery();
    else if (m_key == kTrendUploadKey)
        Finish();
}

bool CZAPKDevicesCtrl::SetAutoUpdate(bool isAuto)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    QVariantList jobs;
    for (const QModelIndex& index : SelectedRows()) {
        WriteCode(index, kLoading);
        jobs.append(ModuleContext(index));
    }
    m_updateModeRunner->SetParameters({isAuto ? QStringLiteral("Auto") : QStringLiteral("Manual")});
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::setTrendMicroAutoUpdateFinishedHandler);
    else
        m_updateModeRunner->Start(jobs);
    return true;
}

void CZAPKDevicesCtrl::setTrendMicroAutoUpdateResultHandler(const QVariant& context,
                                                            CHttpClient2::ENetworkError result,
                                                            const QVariant& response)
{
    int code = ResultCode(result);
    if (result == CHttpClient2::eSuccess && messageOf(response) != "ok")
        code = kUnknownFail;
    WriteCode(IndexFromContext(context), code);
}

void CZAPKDevicesCtrl::setTrendMicroAutoUpdateFinishedHandler()
{
    if (m_working)
        Finish();
}

// Uninstall -----------------------------------------------------------------------------------

bool CZAPKDevicesCtrl::Remove()
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    const QVariantList jobs = OnOffJobs(QStringLiteral("remove"));
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::removeZapkFinishedHandler);
    else
        m_uninstallRunner->Start(jobs);
    return true;
}

void CZAPKDevicesCtrl::removeZapkResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError result,
                                               const QVariant& response)
{
    Q_UNUSED(response)
    WriteResult(context, result);
}

void CZAPKDevicesCtrl::removeZapkFinishedHandler()
{
    if (!m_working)
        return;
    emit allCmdSent();
    int removed = 0;
    for (int row = m_model->rowCount() - 1; row >= 0; --row) {
        if (StatusOf(m_model->index(row, 0), kUninstallKey) == kSuccess &&
            m_model->removeRows(row, 1))
            ++removed;
    }
    emit removeInBtn(removed);
    SetWorking(false);
}

// Configuration uploads -----------------------------------------------------------------------

bool CZAPKDevicesCtrl::UploadTrendMicroConfig(const QString& filePath)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    QVariantList jobs;
    for (const QModelIndex& index : SelectedRows()) {
        WriteCode(index, kLoading);
        QVariantMap context = ModuleContext(index);
        context.insert(QStringLiteral("filePath"), filePath);
        context.insert(QStringLiteral("fileName"), QFileInfo(filePath).fileName());
        jobs.append(context);
    }
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::uploadTrendMicroConfigFinishedHandler);
    else
        m_trendUploadRunner->Start(jobs);
    return true;
}

void CZAPKDevicesCtrl::uploadTrendMicroConfigResultHandler(const QVariant& context,
                                                           CHttpClient2::ENetworkError result,
                                                           const QVariant& response)
{
    int code = ResultCode(result);
    // A refused signature file is answered with 200 and a failure text, as packages are.
    if (result == CHttpClient2::eSuccess && isZapkUploadRefusal(messageOf(response)))
        code = kUnknownFail;
    WriteCode(IndexFromContext(context), code);
}

void CZAPKDevicesCtrl::uploadTrendMicroConfigFinishedHandler()
{
    if (!m_working)
        return;
    if (m_aborting) {
        Finish();
        return;
    }
    GetSignature(true, true);
}

bool CZAPKDevicesCtrl::UploadStereoConfig(const QString& filePath, const QString& module)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    const QString path = ConfigUploadPath(module);
    const bool anpr = module == QLatin1String("ANPR");
    m_moduleUploadRunner->SetPath(path);
    m_moduleUploadRunner->SetPartName(anpr ? QStringLiteral("blob")
                                           : QStringLiteral("uploadConfig"));
    const QString fileName = QFileInfo(filePath).fileName();
    QVariantList jobs;
    for (const QModelIndex& index : SelectedRows()) {
        const QString version = index.data(CDeviceInfo::zapkVerRole).toString();
        if (anpr && (version.isEmpty() || CompareVersions(version, "3.2.6.5") < 0)) {
            WriteCode(index, kUnsupportedVersion);
            continue;
        }
        // A module without a configuration script has nowhere to send the file.
        if (path.isEmpty()) {
            WriteCode(index, kUnknownFail);
            continue;
        }
        WriteCode(index, kLoading);
        QVariantMap context = ModuleContext(index);
        context.insert(QStringLiteral("filePath"), filePath);
        context.insert(QStringLiteral("fileName"), fileName);
        if (anpr) {
            context.insert(QStringLiteral("parameters"),
                           QStringList{QStringLiteral("computerid=1"),
                                       QStringLiteral("oper=importgeneralconfig")});
            context.insert(QStringLiteral("fileName"), QStringLiteral("blob"));
            QHttpPart part;
            part.setHeader(QNetworkRequest::ContentDispositionHeader,
                           QStringLiteral("form-data; name=\"chunkMetadata\""));
            // Key order matters to the device; QJsonObject sorts keys, so the text is written
            // by hand.
            const QByteArray json = "{\"FileName\":" +
                                    QJsonDocument(QJsonArray{fileName})
                                        .toJson(QJsonDocument::Compact)
                                        .mid(1)
                                        .chopped(1) +
                                    ",\"Index\":0,\"TotalCount\":1,\"FileType\":"
                                    "\"application/vnd.ms-excel\"}";
            part.setBody(json);
            context.insert(QStringLiteral("httpPart"), QVariantList{QVariant::fromValue(part)});
        }
        jobs.append(context);
    }
    // The page sets its status after the call: a run without requests still ends later.
    if (jobs.isEmpty())
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::uploadStereoConfigFinishedHandler);
    else
        m_moduleUploadRunner->Start(jobs);
    return true;
}

void CZAPKDevicesCtrl::uploadStereoConfigResultHandler(const QVariant& context,
                                                       CHttpClient2::ENetworkError result,
                                                       const QVariant& response)
{
    Q_UNUSED(response)
    WriteResult(context, result);
}

void CZAPKDevicesCtrl::uploadStereoConfigFinishedHandler()
{
    if (m_working)
        Finish();
}

// Exports -------------------------------------------------------------------------------------

bool CZAPKDevicesCtrl::StartExport(const QList<QModelIndex>& rows, const QString& module,
                                   const QVariantList& commands)
{
    const QString runName = (module == kTrendExportModule ? QStringLiteral("Log-Report")
                                                          : QStringLiteral("ZAPK-Config")) +
                            QLatin1Char('_') +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmm"));
    // Without a chosen folder nothing is written: never into whatever the working directory is.
    const bool folderMade = !m_exportBase.isEmpty() && QDir(m_exportBase).mkpath(runName);
    m_exportRun =
        folderMade ? QDir(QDir(m_exportBase).absoluteFilePath(runName)).absolutePath() : QString();
    QVariantList devices;
    for (const QModelIndex& index : rows) {
        WriteCode(index, folderMade ? kLoading : kUnknownFail);
        QVariantMap device = RowContext(index);
        device.insert(QStringLiteral("context"),
                      QVariantMap{{QStringLiteral("modelIndex"),
                                   QVariant::fromValue(QPersistentModelIndex(index))},
                                  {QStringLiteral("module"), module},
                                  {QStringLiteral("export_key"),
                                   QStringLiteral("%1_%2").arg(
                                       device.value(QStringLiteral("ip")).toString(),
                                       device.value(QStringLiteral("httpPort")).toString())}});
        devices.append(device);
    }
    if (module == kTrendExportModule && folderMade)
        emit trendMicroExportPathSet(m_exportRun);
    if (!folderMade || devices.isEmpty()) {
        if (!folderMade && module != kTrendExportModule)
            emit exportResult(QStringLiteral("unknown fail"));
        QTimer::singleShot(0, this, &CZAPKDevicesCtrl::exportFileFinishedHandler);
        return true;
    }
    m_exportRunner->Start(devices, commands);
    return true;
}

bool CZAPKDevicesCtrl::ExportTrendMicroLog()
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    return StartExport(
        SelectedRows(), kTrendExportModule,
        {QVariantMap{{"getPath", QStringLiteral("/Trend-Micro-IoT-Security/cgi-bin/ExportLog.cgi")},
                     {"parameters", QStringList{QStringLiteral("Log")}}}});
}

bool CZAPKDevicesCtrl::ExportStereo(const QString& module, int zapkIndex, const QString& ip)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    QList<QModelIndex> rows;
    for (const QModelIndex& index : SelectedRows()) {
        if (index.data(CDeviceInfo::ipRole).toString() == ip &&
            index.data(CDeviceInfo::zapkIdxRole).toInt() == zapkIndex) {
            rows.append(index);
            break;
        }
    }
    QVariantList commands;
    const auto command = [](const QString& path, const QStringList& parameters) {
        return QVariantMap{{"getPath", path}, {"parameters", parameters}};
    };
    if (module == QLatin1String("Rureru Revevaz")) {
        commands << command("/Stereo-Counting/cgi-bin/export_file.cgi", {"backup"})
                 << command("/Stereo-Counting/cgi-bin/export_log.cgi", {"backup"});
    } else if (module == QLatin1String("VCA") || module == QLatin1String("Zovu Rorevazu ZAV")) {
        commands << command("/VCA/cgi-bin/export_file.cgi", {"backup"})
                 << command("/VCA/cgi-bin/export_log.cgi", {"backup"});
    } else if (module == QLatin1String("ANPR")) {
        commands << command("/NEVRA/cgi-bin/nevrcgi.cgi",
                            {"computerid=1", "oper=exportgeneralconfig"});
    }
    if (commands.isEmpty())
        rows.clear();
    return StartExport(rows, module, commands);
}

QString CZAPKDevicesCtrl::DeviceFolder(const QModelIndex& index, const QString& module) const
{
    QString mac = index.data(CDeviceInfo::macRole).toString();
    QString model = index.data(CDeviceInfo::modelRole).toString();
    if (mac.isEmpty())
        mac = QStringLiteral("unknownMAC");
    if (model.isEmpty())
        model = QStringLiteral("unknownModel");
    const QString name = module == kTrendExportModule
                             ? mac + QLatin1Char('_') + model
                             : module + QLatin1Char('_') + model + QLatin1Char('_') + mac;
    return QDir(m_exportRun).filePath(safeFolderName(name));
}

bool CZAPKDevicesCtrl::SaveResponse(const QString& folder, const QVariantMap& response) const
{
    // The device names the file; only a plain name inside the device's folder is used.
    const QString name = safeFileName(
        response.value(QStringLiteral("content_disposition")).toString().mid(kDispositionPrefix));
    if (name.isEmpty() || m_exportRun.isEmpty() || !QDir().mkpath(folder))
        return false;
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray body = response.value(QStringLiteral("message")).toByteArray();
    const bool written = file.write(body) == body.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void CZAPKDevicesCtrl::saveFileHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                                       const QVariant& response)
{
    const QVariantMap map = context.toMap();
    const QModelIndex index = IndexFromContext(map.value(QStringLiteral("modelIndex")));
    if (!index.isValid())
        return;
    const QString module = map.value(QStringLiteral("module")).toString();
    int code = ResultCode(result);
    const QString folder = DeviceFolder(index, module);
    if (code == kSuccess && !SaveResponse(folder, response.toMap()))
        code = kUnknownFail;
    if (module == kTrendExportModule) {
        if (code != kSuccess)
            WriteCode(index, code);
        return;
    }
    switch (code) {
    case kSuccess:
        emit exportResult(QStringLiteral("success"));
        emit stereoExportPathSet(folder);
        break;
    case kAuthFail:
        emit exportResult(QStringLiteral("auth fail"));
        break;
    case kTimeout:
        emit exportResult(QStringLiteral("timeout"));
        break;
    default:
        emit exportResult(QStringLiteral("unknown fail"));
        break;
    }
    if (code != kSuccess)
        WriteCode(index, code);
}

void CZAPKDevicesCtrl::exportFileResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError result,
                                               const QVariant& response)
{
    Q_UNUSED(response)
    const QModelIndex index = IndexFromContext(context.toMap().value(QStringLiteral("modelIndex")));
    if (StatusOf(index, m_key) == kLoading)
        WriteCode(index, ResultCode(result));
}

void CZAPKDevicesCtrl::exportFileFinishedHandler()
{
    if (m_working)
        Finish();
}

void CZAPKDevicesCtrl::Abort()
{
    m_aborting = true;
    m_onOffRunner->Abort();
    m_signatureRunner->Abort();
    m_moduleStatusRunner->Abort();
    m_uninstallRunner->Abort();
    m_updateModeRunner->Abort();
    m_exportRunner->Abort();
    m_trendUploadRunner->Abort();
    m_moduleUploadRunner->Abort();
}
