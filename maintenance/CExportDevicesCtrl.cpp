#include "CExportDevicesCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CGetParamCtrl.h"
#include "DeviceListCsv.h"
#include "ModelNames.h"
#include "ParamReply.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTextStream>
#include <QtDebug>

const QString CExportDevicesCtrl::kStatusKey = QStringLiteral("exportDevices");

namespace {

const QString kHostName = QStringLiteral("system_hostname");
const QString kServerName = QStringLiteral("system_servername");
const QString kIp = QStringLiteral("network_ipaddress");
const QString kHttpPort = QStringLiteral("network_http_port");
const QString kHttpsPort = QStringLiteral("network_https_port");
const QString kResetIp = QStringLiteral("network_resetip");
const QString kModelName = QStringLiteral("system_info_modelname");
const QString kExtendedModel = QStringLiteral("system_info_extendedmodelname");
const QString kSerial = QStringLiteral("system_info_serialnumber");
const QString kFirmwareVersion = QStringLiteral("system_info_firmwareversion");
const QString kFirmwareInfo = QStringLiteral("firmware_info");

} // namespace

CExportDevicesCtrl::CExportDevicesCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_runner(std::make_shared<CGetParamCtrl>())
{
    connect(m_runner.get(), &CGetParamCtrl::changeStatus, this,
            &CExportDevicesCtrl::getParamResultHandler);
    connect(m_runner.get(), &CGetParamCtrl::finished, this,
            &CExportDevicesCtrl::getParamFinishHandler);
}

CExportDevicesCtrl::~CExportDevicesCtrl()
{
    m_runner->disconnect(this);
}

bool CExportDevicesCtrl::Start(const QString& dir, const QString& fileName)
{
    if (m_working || !m_model)
        return false;
    m_records.clear();
    m_dir = dir;
    m_fileName = fileName;
    return Run(false);
}

bool CExportDevicesCtrl::RestartFailed()
{
    if (m_working || !m_model)
        return false;
    return Run(true);
}

bool CExportDevicesCtrl::Run(bool onlyFailed)
{
    QVariantList contexts;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (onlyFailed &&
            StatusOf(index, kStatusKey) == CCorvaneTableStatus::ExportDevicesPage_Success)
            continue;
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::ExportDevicesPage_Loading);
        contexts << RowContext(index);
    }
    SetWorking(true);
    if (contexts.isEmpty()) {
        // Every device has answered already: the file is written again at once, and the run ends
        // without a request.
        QMetaObject::invokeMethod(this, &CExportDevicesCtrl::getParamFinishHandler,
                                  Qt::QueuedConnection);
        return true;
    }
    m_runner->SetPath(QStringLiteral("/cgi-bin/admin/getparam.cgi"));
    m_runner->SetParameters({kHostName, kServerName, kIp, kHttpPort, kHttpsPort, kResetIp,
                             kModelName, kExtendedModel, kSerial, kFirmwareVersion});
    m_runner->Start(contexts);
    return true;
}

void CExportDevicesCtrl::Abort()
{
    if (m_working)
        m_runner->Abort();
}

void CExportDevicesCtrl::getParamResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError error,
                                               const QVariant& response)
{
    const QModelIndex index = IndexFromContext(context);
    if (!index.isValid())
        return;
    int status = CCorvaneTableStatus::ExportDevicesPage_UnknownFail;
    switch (error) {
    case CHttpClient2::eSuccess: {
        QVariantMap record;
        for (const auto& pair : parseParamPairs(response.toMap().value("message").toByteArray()))
            record.insert(pair.first, pair.second);
        if (!record.contains(kIp))
            record.insert(kIp, index.data(CDeviceInfo::ipRole).toString());
        if (!record.contains(kHttpPort))
            record.insert(kHttpPort,
                          QString::number(index.data(CDeviceInfo::httpPortRole).toUInt()));
        if (!record.contains(kHttpsPort))
            record.insert(kHttpsPort,
                          QString::number(index.data(CDeviceInfo::httpsPortRole).toUInt()));
        if (!record.contains(kExtendedModel))
            record.insert(kExtendedModel, record.contains(kModelName)
                                              ? record.value(kModelName)
                                              : index.data(CDeviceInfo::modelRole));
        if (record.contains(kServerName))
            record.insert(kHostName, record.value(kServerName));
        record.insert(kFirmwareInfo, index.data(CDeviceInfo::firmwareInfoRole).toString());
        m_records << record;
        status = CCorvaneTableStatus::ExportDevicesPage_Success;
        break;
    }
    case CHttpClient2::eTimeout:
        status = CCorvaneTableStatus::ExportDevicesPage_Timeout;
        break;
    case CHttpClient2::eAuthFail:
        status = CCorvaneTableStatus::ExportDevicesPage_AuthFail;
        break;
    default:
        break;
    }
    WriteStatus(index, kStatusKey, status);
}

void CExportDevicesCtrl::getParamFinishHandler()
{
    if (!m_working)
        return;
    SetWorking(false);
    if (WriteExportFile(m_records))
        emit succeeded();
    else
        emit writeFileFailed();
    emit allCmdSent();
}

QString CExportDevicesCtrl::FilePath() const
{
    return m_dir.isEmpty() ? m_fileName : QDir(m_dir).filePath(m_fileName);
}

bool CExportDevicesCtrl::WriteExportFile(const QList<QVariantMap>& records)
{
    QFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qDebug() << "CExportDevicesCtrl::WriteExportFile.open() failed";
        return false;
    }
    bool recorder = false;
    for (const QVariantMap& record : records) {
        if (isRecorderModel(record.value(kModelName).toString())) {
            recorder = true;
            break;
        }
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    QStringList header{QStringLiteral("Brand"), QStringLiteral("Host name"), QStringLiteral("IP"),
                       QStringLiteral("HTTP port"), QStringLiteral("HTTPS port")};
    if (!recorder)
        header << QStringLiteral("Network type");
    header << QStringLiteral("Model name") << QStringLiteral("MAC")
           << QStringLiteral("Firmware version");
    for (const QString& name : qAsConst(header))
        out << csvField(name);
    out << '\n';
    for (const QVariantMap& record : records) {
        const auto value = [&record](const QString& key) { return record.value(key).toString(); };
        out << csvField(brandColumn(value(kFirmwareInfo))) << csvField(value(kHostName))
            << csvField(value(kIp)) << csvField(value(kHttpPort)) << csvField(value(kHttpsPort));
        if (!recorder)
            out << csvField(networkTypeColumn(value(kResetIp)));
        out << csvField(value(kExtendedModel)) << csvField(macColumn(value(kSerial)))
            << csvField(value(kFirmwareVersion)) << '\n';
    }
    out.flush();
    const bool ok = out.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}
