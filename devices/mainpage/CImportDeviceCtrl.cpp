#include "CImportDeviceCtrl.h"

#include "CCsvParser.h"
#include "CGetParamCtrl.h"
#include "DeviceIdentity.h"
#include "ModelNames.h"
#include "ParamReply.h"
#include "Settings.h"

#include <QAbstractItemModel>
#include <QSet>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>
#include <QtDebug>

namespace {

const QString kStatus = QStringLiteral("statusRole");

bool isHost(const QString& text)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty();
}

// A port text: empty is allowed (0); otherwise digits only, up to 65535.
bool readPort(const QString& text, int* port)
{
    *port = 0;
    if (text.isEmpty())
        return true;
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = int(value);
    return true;
}

// A request context of the identity query; "context" names the device in the replies.
QVariantMap makeJob(const QString& ip, const QString& username, const QString& password,
                    int httpPort, int httpsPort)
{
    QVariantMap job;
    job.insert(QStringLiteral("ip"), ip);
    job.insert(QStringLiteral("username"), username);
    job.insert(QStringLiteral("password"), password);
    job.insert(QStringLiteral("httpPort"), httpPort);
    job.insert(QStringLiteral("httpsPort"), httpsPort);
    job.insert(QStringLiteral("context"),
               QStringLiteral("%1_%2_%3").arg(ip).arg(httpPort).arg(httpsPort));
    return job;
}

bool imported(int code)
{
    return code == CImportDeviceCtrl::Identified || code == CImportDeviceCtrl::AddedWithoutIdentity;
}

} // namespace

CImportDeviceCtrl::CImportDeviceCtrl(QObject* parent)
    : QObject(parent), m_getParamCtrl(new CGetParamCtrl(this))
{
    m_getParamCtrl->SetTimeout(
        readSettingsValue(QStringLiteral("ImportDeviceTimeout"), 30000).toInt());
    connect(m_getParamCtrl, &CGetParamCtrl::changeStatus, this,
            &CImportDeviceCtrl::getParamResultHandler);
    connect(m_getParamCtrl, &CGetParamCtrl::finished, this,
            &CImportDeviceCtrl::getParamFinishHandler);
    connect(&m_fileReader, &QFutureWatcher<FileJobs>::finished, this,
            &CImportDeviceCtrl::onFileRead);
}

CImportDeviceCtrl::~CImportDeviceCtrl()
{
    m_fileReader.waitForFinished();
    m_getParamCtrl->disconnect(this);
}

QString CImportDeviceCtrl::rowKey(const QString& ip, int port)
{
    return ip.toLower() + QLatin1Char('\n') + QString::number(port);
}

QModelIndex CImportDeviceCtrl::findRow(const QString& ip, int port) const
{
    if (!m_model || m_model->rowCount() == 0)
        return {};
    const QModelIndexList hits = m_model->match(m_model->index(0, 0), CDeviceInfo::ipRole, ip, -1,
                                                Qt::MatchFixedString | Qt::MatchWrap);
    for (const QModelIndex& index : hits) {
        if (index.data(CDeviceInfo::httpPortRole).toInt() == port)
            return index;
    }
    return {};
}

QHash<QString, int> CImportDeviceCtrl::listedRows() const
{
    QHash<QString, int> rows;
    if (!m_model)
        return rows;
    for (int row = m_model->rowCount() - 1; row >= 0; --row) {
        const QModelIndex index = m_model->index(row, 0);
        rows.insert(rowKey(index.data(CDeviceInfo::ipRole).toString(),
                           index.data(CDeviceInfo::httpPortRole).toInt()),
                    row);
    }
    return rows;
}

QVariantList CImportDeviceCtrl::jobsFromFile(const QString& path, const QString& username,
                                             const QString& password, bool* ok)
{
    QVariantList jobs;
    CCsvParser parser(path, "UTF-8");
    *ok = parser.IsOpen();
    if (!*ok)
        return jobs;
    QSet<QString> seen;
    int ignored = 0;
    while (parser.HasNext()) {
        parser.ReadLine();
        const QStringList fields = parser.Fields();
        if (fields.size() < 4)
            continue;
        const QString host = fields.at(2).trimmed();
        if (!isHost(host))
            continue;
        int http = 0;
        int https = 0;
        const bool httpOk = readPort(fields.at(3).trimmed(), &http);
        const bool httpsOk =
            readPort(fields.size() > 4 ? fields.at(4).trimmed() : QString(), &https);
        if (!httpOk && !httpsOk)
            continue;
        const QString key = rowKey(host, http);
        if (seen.contains(key))
            continue;
        if (jobs.size() >= kMaxJobsPerFile) {
            ++ignored;
            continue;
        }
        seen.insert(key);
        jobs.append(makeJob(host, username, password, http, https));
    }
    if (ignored > 0)
        qDebug() << "CImportDeviceCtrl::importFile ignored" << ignored << "devices beyond"
                 << kMaxJobsPerFile;
    return jobs;
}

bool CImportDeviceCtrl::importFile(const QString& path, const QString& username,
                                   const QString& password)
{
    if (!m_model)
        return false;
    if (m_fileReader.isRunning())
        m_fileReader.waitForFinished();
    m_fileReader.setFuture(QtConcurrent::run([path, username, password]() {
        FileJobs result;
        result.jobs = jobsFromFile(path, username, password, &result.ok);
        return result;
    }));
    return true;
}

void CImportDeviceCtrl::onFileRead()
{
    const FileJobs result = m_fileReader.result();
    if (!result.ok || result.jobs.isEmpty()) {
        emit importFileError();
        return;
    }
    importJobs(result.jobs);
}

void CImportDeviceCtrl::importJobs(const QVariantList& jobs)
{
    const QHash<QString, int> listed = listedRows();
    QVariantList remaining;
    QVariantList existing;
    for (const QVariant& value : jobs) {
        const QVariantMap job = value.toMap();
        const auto it = listed.constFind(rowKey(job.value(QStringLiteral("ip")).toString(),
                                                job.value(QStringLiteral("httpPort")).toInt()));
        if (it != listed.constEnd())
            existing.append(it.value());
        else
            remaining.append(job);
    }
    if (!existing.isEmpty())
        emit alreadyExists(existing);
    if (remaining.isEmpty()) {
        m_jobs.clear();
        emit allImportSucceeded();
        emit importDevicesFinished();
        return;
    }
    query(remaining);
}

bool CImportDeviceCtrl::addOne(const QString& ip, const QString& username, const QString& password,
                               const QString& portText)
{
    if (!m_model)
        return false;
    int port = 0;
    if (!readPort(portText, &port))
        return false;
    const QModelIndex existing = findRow(ip, port);
    if (existing.isValid()) {
        emit alreadyExists({existing.row()});
        emit allImportSucceeded();
        return true;
    }
    query({makeJob(ip, username, password, port, 443)});
    return true;
}

void CImportDeviceCtrl::query(const QVariantList& jobs)
{
    m_jobs = jobs;
    m_getParamCtrl->SetPath(QStringLiteral("/cgi-bin/admin/getparam.cgi"));
    m_getParamCtrl->SetParameters({QStringLiteral("system_info_extendedmodelname"),
                                   QStringLiteral("system_info_serialnumber"),
                                   QStringLiteral("system_info_firmwareversion"),
                                   QStringLiteral("network_https_port")});
    m_getParamCtrl->Start(jobs);
}

void CImportDeviceCtrl::abort()
{
    m_getParamCtrl->Abort();
}

void CImportDeviceCtrl::getParamResultHandler(const QVariant& context,
                                              CHttpClient2::ENetworkError result,
                                              const QVariant& response)
{
    const QString contextText = context.toString();
    for (int i = 0; i < m_jobs.size(); ++i) {
        QVariantMap job = m_jobs.at(i).toMap();
        if (job.value(QStringLiteral("context")).toString() != contextText)
            continue;
        int code = Other;
        switch (int(result)) {
        case CHttpClient2::eSuccess:
            code = Identified;
            break;
        case CHttpClient2::eAuthFail:
            code = AddedWithoutIdentity;
            break;
        case CHttpClient2::eTimeout:
            code = NoAnswer;
            break;
        case CHttpClient2::eFail:
        case 2:
        case CHttpClient2::eMoved:
        case CHttpClient2::eNetworkError:
            code = RequestFailed;
            break;
        default:
            code = Other;
            break;
        }
        const ParamPairs pairs =
            parseParamPairs(response.toMap().value(QStringLiteral("message")).toByteArray());
        for (const auto& pair : pairs)
            job.insert(pair.first, pair.second);
        job.insert(kStatus, code);
        m_jobs[i] = job;
        return;
    }
}

void CImportDeviceCtrl::getParamFinishHandler()
{
    const QHash<QString, int> listed = listedRows();
    DeviceList records;
    bool anyFailed = false;
    for (int i = 0; i < m_jobs.size(); ++i) {
        QVariantMap job = m_jobs.at(i).toMap();
        const int code = job.value(kStatus).toInt();
        if (!imported(code)) {
            anyFailed = true;
            continue;
        }
        const QString ip = job.value(QStringLiteral("ip")).toString();
        const int httpPort = job.value(QStringLiteral("httpPort")).toInt();
        if (listed.contains(rowKey(ip, httpPort))) {
            job.insert(kStatus, int(AlreadyListed));
            m_jobs[i] = job;
            anyFailed = true;
            continue;
        }
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = ip;
        device->username = job.value(QStringLiteral("username")).toString();
        device->password = job.value(QStringLiteral("password")).toString();
        device->httpPort = quint16(httpPort);
        device->httpsPort = quint16(job.value(QStringLiteral("httpsPort")).toUInt());
        device->cmsPort = 0;
        device->drmSearched = false;
        if (code == Identified) {
            device->model = job.value(QStringLiteral("system_info_extendedmodelname")).toString();
            device->mac =
                macFromSerial(job.value(QStringLiteral("system_info_serialnumber")).toString());
            device->firmwareInfo =
                job.value(QStringLiteral("system_info_firmwareversion")).toString();
            device->firmware = firmwareFromInfo(device->firmwareInfo);
            // A device that leaves its HTTPS port out keeps the one the job was built with.
            bool portOk = false;
            const uint httpsPort = job.value(QStringLiteral("network_https_port")).toUInt(&portOk);
            if (portOk && httpsPort <= 65535)
                device->httpsPort = quint16(httpsPort);
        }
        records.push_back(device);
    }
    if (!records.empty())
        emit devicesFound(records);
    if (anyFailed)
        emit someImportFailed();
    else
        emit allImportSucceeded();
    emit importDevicesFinished();
}

QVariantList CImportDeviceCtrl::failedJobs() const
{
    QVariantList failed;
    for (const QVariant& value : m_jobs) {
        const QVariantMap job = value.toMap();
        const int code = job.value(kStatus).toInt();
        if (imported(code))
            continue;
        QVariantMap entry;
        entry.insert(QStringLiteral("ip"), job.value(QStringLiteral("ip")));
        entry.insert(QStringLiteral("code"), code);
        failed.append(entry);
    }
    return failed;
}

QVariantList CImportDeviceCtrl::failedAddresses() const
{
    QVariantList addresses;
    for (const QVariant& value : failedJobs())
        addresses.append(value.toMap().value(QStringLiteral("ip")).toString());
    return addresses;
}
