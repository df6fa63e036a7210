#include "CUpgradeFirmwareCtrl.h"

#include "CDeviceInfo.h"
#include "CGetParamCtrl.h"
#include "CUploadFileCtrl.h"
#include "ModelNames.h"
#include "ParamReply.h"
#include "Settings.h"
#include "UploadRefusal.h"

#include <QFileInfo>
#include <QtDebug>

const QString CUpgradeFirmwareCtrl::kStatusKey = QStringLiteral("firmware");

namespace {
const QString kVersionParam = QStringLiteral("system_info_firmwareversion");
}

CUpgradeFirmwareCtrl::CUpgradeFirmwareCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_uploadRunner(new CUploadFileCtrl(this)),
      m_verifyRunner(new CGetParamCtrl(this))
{
    m_sleepTimer.setSingleShot(true);
    connect(m_uploadRunner, &CUploadFileCtrl::changeStatus, this,
            &CUpgradeFirmwareCtrl::uploadResultHandler);
    connect(m_uploadRunner, &CUploadFileCtrl::finished, this,
            &CUpgradeFirmwareCtrl::uploadFinishedHandler);
    connect(m_verifyRunner, &CGetParamCtrl::changeStatus, this,
            &CUpgradeFirmwareCtrl::verifyResultHandler);
    connect(m_verifyRunner, &CGetParamCtrl::finished, this,
            &CUpgradeFirmwareCtrl::verifyFinishedHandler);
    connect(&m_sleepTimer, &QTimer::timeout, this, &CUpgradeFirmwareCtrl::timerEvent);
}

CUpgradeFirmwareCtrl::~CUpgradeFirmwareCtrl()
{
    m_sleepTimer.stop();
    m_uploadRunner->disconnect(this);
    m_verifyRunner->disconnect(this);
}

QString CUpgradeFirmwareCtrl::UploadPath(const QString& model, bool isScript)
{
    if (isRecorderModel(model))
        return QStringLiteral("/cgi-bin/admin/system.upgrade");
    if (isScript)
        return QStringLiteral("/cgi-bin/admin/eventscript.cgi");
    return QStringLiteral("/cgi-bin/admin/upgrade.cgi");
}

QString CUpgradeFirmwareCtrl::UploadPartName(const QString& model, bool isScript)
{
    if (isRecorderModel(model))
        return QStringLiteral("file");
    if (isScript)
        return QStringLiteral("UploadEventScriptFile");
    return QStringLiteral("fimage");
}

QModelIndexList CUpgradeFirmwareCtrl::DevicesOfModel(const QString& model) const
{
    if (!m_model || m_model->rowCount() == 0)
        return {};
    return m_model->match(m_model->index(0, 0), CDeviceInfo::modelRole, model, -1,
                          Qt::MatchFixedString | Qt::MatchWrap);
}

void CUpgradeFirmwareCtrl::SetDeviceStatus(const QModelIndex& index, int code)
{
    if (!m_model || !index.isValid())
        return;
    WriteStatus(index, kStatusKey, code);
}

bool CUpgradeFirmwareCtrl::Start(const QString& model, const QString& firmwareModel,
                                 const QString& path)
{
    Q_UNUSED(firmwareModel)
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_jobs.clear();
    m_jobState.clear();
    const QString fileName = QFileInfo(path).fileName();
    for (const QModelIndex& index : DevicesOfModel(model)) {
        const int status = StatusOf(index, kStatusKey);
        if (status == Uploaded || status == Loading)
            continue;
        SetDeviceStatus(index, Loading);
        QVariantMap context = RowContext(index);
        context.insert(QStringLiteral("filePath"), path);
        // The device sees the file's own name, not the folder it was chosen from.
        context.insert(QStringLiteral("fileName"), fileName);
        m_jobs.append(context);
        SJob job;
        job.ip = context.value(QStringLiteral("ip")).toString();
        job.firmwareBefore = index.data(CDeviceInfo::firmwareInfoRole).toString();
        job.script = m_isScript && !isRecorderModel(model);
        m_jobState.insert(QPersistentModelIndex(index), job);
    }
    m_attempts = 0;
    m_uploadRunner->SetPath(UploadPath(model, m_isScript));
    m_uploadRunner->SetPartName(UploadPartName(model, m_isScript));
    m_uploadRunner->SetTimeout(
        readSettingsValue(QStringLiteral("uploadFirmwareTimeoutMs"), 600000).toInt());
    m_uploadRunner->Start(m_jobs);
    return true;
}

void CUpgradeFirmwareCtrl::MarkModelWaiting(const QString& model)
{
    for (const QModelIndex& index : DevicesOfModel(model)) {
        const int status = StatusOf(index, kStatusKey);
        if (status != WaitToWork && status != Loading && status != Uploaded)
            SetDeviceStatus(index, WaitToWork);
    }
}

void CUpgradeFirmwareCtrl::ClearModelStatus(const QString& model)
{
    for (const QModelIndex& index : DevicesOfModel(model))
        SetDeviceStatus(index, Nothing);
}

void CUpgradeFirmwareCtrl::Abort()
{
    m_uploadRunner->Abort();
    m_verifyRunner->Abort();
}

void CUpgradeFirmwareCtrl::uploadResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError result,
                                               const QVariant& response)
{
    int code = Fail;
    switch (result) {
    case CHttpClient2::eSuccess:
    case CHttpClient2::eNeedToSetPassword: {
        // A device that refuses the file still answers 200; only its text tells.
        const QByteArray body = response.toMap().value(QStringLiteral("message")).toByteArray();
        if (isUploadRefusal(body)) {
            qDebug().noquote() << "CUpgradeFirmwareCtrl::uploadResultHandler info: upload refused:"
                               << QString::fromUtf8(body.left(200)).trimmed();
            code = Fail;
        } else {
            code = Uploaded;
        }
        break;
    }
    case CHttpClient2::eCannotOpenFile:
        code = CannotOpenFile;
        break;
    case CHttpClient2::eTimeout:
        code = Timeout;
        break;
    case CHttpClient2::eAuthFail:
        code = AuthFail;
        break;
    default:
        break;
    }
    SetDeviceStatus(IndexFromContext(context), code);
}

bool CUpgradeFirmwareCtrl::HasUploadedJobs() const
{
    for (const QVariant& job : m_jobs) {
        const QModelIndex index = IndexFromContext(job.toMap().value(QStringLiteral("context")));
        if (StatusOf(index, kStatusKey) == Uploaded)
            return true;
    }
    return false;
}

void CUpgradeFirmwareCtrl::uploadFinishedHandler()
{
    m_attempts = 0;
    if (HasUploadedJobs()) {
        m_sleepTimer.start(
            readSettingsValue(QStringLiteral("verifyFirmwareSleepMs"), 15000).toInt());
        return;
    }
    Finish();
}

void CUpgradeFirmwareCtrl::timerEvent()
{
    m_verifyRunner->SetPath(QStringLiteral("/cgi-bin/admin/getparam.cgi"));
    m_verifyRunner->SetParameters({kVersionParam});
    m_verifyRunner->SetTimeout(
        readSettingsValue(QStringLiteral("verifyFirmwareTimeoutMS"), 30000).toInt());
    if (m_jobs.isEmpty()) {
        Finish();
        return;
    }
    m_verifyRunner->Start(m_jobs);
}

void CUpgradeFirmwareCtrl::verifyResultHandler(const QVariant& context,
                                               CHttpClient2::ENetworkError result,
                                               const QVariant& response)
{
    const QModelIndex index = IndexFromContext(context);
    auto job = m_jobState.find(QPersistentModelIndex(index));
    if (job == m_jobState.end())
        return;
    if (result != CHttpClient2::eSuccess && result != CHttpClient2::eNeedToSetPassword) {
        // Silence after an accepted upload is the restart the new firmware needs. A device that
        // answers, even to refuse the credentials, is still running.
        if (result != CHttpClient2::eAuthFail)
            job->seenAway = true;
        return;
    }
    const int status = StatusOf(index, kStatusKey);
    // Only a device that took the file (or whose upload reply was lost) can have upgraded; one
    // that refused it, or that the run never reached, keeps its code.
    if (status != Uploaded && status != Timeout)
        return;
    QString value;
    const QByteArray message = response.toMap().value(QStringLiteral("message")).toByteArray();
    for (const auto& pair : parseParamPairs(message)) {
        if (pair.first == kVersionParam)
            value = pair.second;
    }
    const bool changed = !value.isEmpty() && value != job->firmwareBefore;
    // An event script takes effect without a restart or a new firmware: the answer is enough.
    if (!changed && !job->seenAway && !job->script) {
        // Polled before it went down for its restart: it still runs the old firmware.
        job->answeredOld = true;
        return;
    }
    m_model->setData(index, value, CDeviceInfo::firmwareInfoRole);
    m_model->setData(index, firmwareFromInfo(value), CDeviceInfo::firmwareRole);
    SetDeviceStatus(index, Success);
}

void CUpgradeFirmwareCtrl::verifyFinishedHandler()
{
    ++m_attempts;
    if (HasUploadedJobs()) {
        const int retries =
            readSettingsValue(QStringLiteral("verifyFirmwareRetryTimes"), 20).toInt();
        if (m_attempts < retries) {
            m_sleepTimer.start(
                readSettingsValue(QStringLiteral("verifyFirmwareSleepMs"), 15000).toInt());
            return;
        }
        for (const QVariant& value : qAsConst(m_jobs)) {
            const QModelIndex index =
                IndexFromContext(value.toMap().value(QStringLiteral("context")));
            if (StatusOf(index, kStatusKey) != Uploaded)
                continue;
            const SJob job = m_jobState.value(QPersistentModelIndex(index));
            if (job.answeredOld && !job.seenAway) {
                // It kept running and kept its firmware: the file did not take.
                qDebug().noquote()
                    << "CUpgradeFirmwareCtrl::verifyFinishedHandler info:" << job.ip
                    << "still reports" << job.firmwareBefore << "after" << m_attempts << "attempts";
                SetDeviceStatus(index, Fail);
            } else {
                SetDeviceStatus(index, Timeout);
            }
        }
    }
    Finish();
}

void CUpgradeFirmwareCtrl::Finish()
{
    m_sleepTimer.stop();
    SetWorking(false);
    emit allVerified();
}
