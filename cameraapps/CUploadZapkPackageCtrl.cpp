#include "CUploadZapkPackageCtrl.h"

#include "CDeviceInfo.h"
#include "CSetParamCtrl.h"
#include "CUploadFileCtrl.h"
#include "StatusEntry.h"
#include "ZapkUploadRefusal.h"

#include <QFileInfo>

CUploadZapkPackageCtrl::CUploadZapkPackageCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_uploadRunner(new CUploadFileCtrl(this)),
      m_saveToSDRunner(new CSetParamCtrl(this)), m_saveToFlashRunner(new CSetParamCtrl(this))
{
    m_uploadRunner->SetPath(QStringLiteral("/cgi-bin/admin/upload_zapk.cgi"));
    m_uploadRunner->SetPartName(QStringLiteral("uploadZapk"));
    connect(m_uploadRunner, &CUploadFileCtrl::changeStatus, this,
            &CUploadZapkPackageCtrl::uploadResultHandler);
    connect(m_uploadRunner, &CUploadFileCtrl::finished, this,
            &CUploadZapkPackageCtrl::uploadFinishedHandler);
    connect(m_saveToSDRunner, &CSetParamCtrl::finished, this,
            &CUploadZapkPackageCtrl::saveToSDFinishedHandler);
    connect(m_saveToFlashRunner, &CSetParamCtrl::finished, this,
            &CUploadZapkPackageCtrl::saveToFlashFinishedHandler);
}

CUploadZapkPackageCtrl::~CUploadZapkPackageCtrl()
{
    m_uploadRunner->disconnect(this);
    m_saveToSDRunner->disconnect(this);
    m_saveToFlashRunner->disconnect(this);
}

bool CUploadZapkPackageCtrl::Start(const QString& filePath, int timeoutMs, const QString& statusKey)
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    m_statusKey = statusKey;
    m_uploadRunner->SetTimeout(timeoutMs);
    m_uploadJobs.clear();
    const QString fileName = QFileInfo(filePath).fileName();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = StatusOf(index, m_statusKey);
        if (status == Loading || status == Uploaded)
            continue;
        writeStatusEntry(index, m_statusKey, Loading);
        QVariantMap context = RowContext(index);
        context.insert(QStringLiteral("filePath"), filePath);
        // The device names the module after the file, not after the folder it came from.
        context.insert(QStringLiteral("fileName"), fileName);
        m_uploadJobs.append(context);
    }
    const QVariantList toSD = StorageJobs(false);
    if (toSD.isEmpty())
        saveToSDFinishedHandler();
    else
        m_saveToSDRunner->Start(toSD);
    return true;
}

QVariantList CUploadZapkPackageCtrl::StorageJobs(bool detached) const
{
    QVariantList jobs;
    if (!m_model)
        return jobs;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (StatusOf(index, m_statusKey) == Uploaded)
            continue;
        const bool isDetached =
            index.data(CDeviceInfo::sdCardStatusRole).toString() == QLatin1String("detached");
        if (isDetached != detached)
            continue;
        QVariantMap context = RowContext(index);
        context.insert(QStringLiteral("data"), detached ? QByteArray("zapk_module_save2sd=0")
                                                        : QByteArray("zapk_module_save2sd=1"));
        jobs.append(context);
    }
    return jobs;
}

void CUploadZapkPackageCtrl::saveToSDFinishedHandler()
{
    if (!m_working)
        return;
    const QVariantList toFlash = StorageJobs(true);
    if (toFlash.isEmpty())
        saveToFlashFinishedHandler();
    else
        m_saveToFlashRunner->Start(toFlash);
}

void CUploadZapkPackageCtrl::saveToFlashFinishedHandler()
{
    if (!m_working)
        return;
    RunUploads();
}

void CUploadZapkPackageCtrl::RunUploads()
{
    // After an abort between the passes nothing more is sent; the group still completes.
    if (m_uploadJobs.isEmpty() || m_aborting) {
        SetWorking(false);
        emit allVerified();
        return;
    }
    m_uploadRunner->Start(m_uploadJobs);
}

int CUploadZapkPackageCtrl::ResultCode(CHttpClient2::ENetworkError result, const QVariant& response)
{
    switch (int(result)) {
    case CHttpClient2::eSuccess:
        return isZapkUploadRefusal(response.toMap().value(QStringLiteral("message")).toByteArray())
                   ? Fail
                   : Success;
    case 1:
    case 6:
    case 7:
        return NetworkError;
    case 3:
        return CannotOpenFile;
    case 4:
        return Timeout;
    case 5:
        return AuthFail;
    default:
        return Fail;
    }
}

void CUploadZapkPackageCtrl::uploadResultHandler(const QVariant& context,
                                                 CHttpClient2::ENetworkError result,
                                                 const QVariant& response)
{
    const QModelIndex index = IndexFromContext(context);
    if (!index.isValid())
        return;
    writeStatusEntry(index, m_statusKey, ResultCode(result, response));
}

void CUploadZapkPackageCtrl::uploadFinishedHandler()
{
    SetWorking(false);
    emit allVerified();
}

void CUploadZapkPackageCtrl::SetStatus(int row, const QString& statusKey, int code)
{
    if (m_model)
        writeStatusEntry(m_model->index(row, 0), statusKey, code);
}

void CUploadZapkPackageCtrl::ClearGroup(const QString& statusKey)
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row)
        writeStatusEntry(m_model->index(row, 0), statusKey, Nothing);
}

void CUploadZapkPackageCtrl::ResetGroupToWaiting(const QString& statusKey)
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (!index.data(CDeviceInfo::statusRole).toMap().contains(statusKey))
            continue;
        const int status = StatusOf(index, statusKey);
        if (status != WaitToWork && status != Loading && status != Uploaded)
            writeStatusEntry(index, statusKey, WaitToWork);
    }
}

void CUploadZapkPackageCtrl::Abort()
{
    m_aborting = true;
    m_saveToSDRunner->Abort();
    m_saveToFlashRunner->Abort();
    m_uploadRunner->Abort();
}
