#include "CUploadZapkLicenseCtrl.h"

#include "CDeviceInfo.h"
#include "CUploadFileCtrl.h"
#include "StatusEntry.h"
#include "ZapkUploadRefusal.h"

#include <QFileInfo>
#include <QPersistentModelIndex>
#include <QUrl>

namespace {

QString localPath(const QVariant& value)
{
    const QUrl url = value.toUrl();
    if (url.isLocalFile())
        return url.toLocalFile();
    const QUrl parsed(value.toString());
    return parsed.isLocalFile() ? parsed.toLocalFile() : value.toString();
}

QModelIndex indexOf(const QVariant& value)
{
    return CSetDevicesCtrl::IndexFromContext(value);
}

} // namespace

CUploadZapkLicenseCtrl::CUploadZapkLicenseCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_uploadRunner(new CUploadFileCtrl(this))
{
    connect(m_uploadRunner, &CUploadFileCtrl::changeStatus, this,
            &CUploadZapkLicenseCtrl::uploadZapkLicenseResultHandler);
    connect(m_uploadRunner, &CUploadFileCtrl::finished, this,
            &CUploadZapkLicenseCtrl::uploadZapkLicenseFinishedHandler);
}

CUploadZapkLicenseCtrl::~CUploadZapkLicenseCtrl()
{
    m_uploadRunner->disconnect(this);
}

bool CUploadZapkLicenseCtrl::Start(const QVariantList& entries, const QString& statusKey)
{
    SetWorking(true);
    m_uploadRunner->SetTimeout(300000);
    m_uploadRunner->SetPath(QStringLiteral("/cgi-bin/admin/upload_zapklicense.cgi"));
    m_uploadRunner->SetPartName(QStringLiteral("uploadZapkLicense"));
    QVariantList jobs;
    for (const QVariant& value : entries) {
        const QVariantMap entry = value.toMap();
        const QModelIndex index = indexOf(entry.value(QStringLiteral("matchedIndex")));
        if (!index.isValid())
            continue;
        // A second file for the same device finds it loading already and is not sent.
        const int status = StatusOf(index, statusKey);
        if (status == Loading || status == Uploaded)
            continue;
        writeStatusEntry(index, statusKey, Loading);
        QVariantMap context = RowContext(index);
        const QString path = localPath(entry.value(QStringLiteral("filePath")));
        context.insert(QStringLiteral("filePath"), path);
        context.insert(QStringLiteral("fileName"), QFileInfo(path).fileName());
        context.insert(QStringLiteral("context"),
                       QVariantMap{{QStringLiteral("matchedIndex"),
                                    QVariant::fromValue(QPersistentModelIndex(index))},
                                   {QStringLiteral("statusKey"), statusKey}});
        jobs.append(context);
    }
    m_uploadRunner->Start(jobs);
    return true;
}

int CUploadZapkLicenseCtrl::ResultCode(CHttpClient2::ENetworkError result, const QVariant& response)
{
    switch (int(result)) {
    case 0:
        return isZapkUploadRefusal(response.toMap().value(QStringLiteral("message")).toByteArray())
                   ? Fail
                   : Success;
    case 2:
        return Fail;
    case 3:
        return CannotOpenFile;
    case 4:
        return Timeout;
    case 5:
        return AuthFail;
    default:
        return NetworkError;
    }
}

void CUploadZapkLicenseCtrl::uploadZapkLicenseResultHandler(const QVariant& context,
                                                            CHttpClient2::ENetworkError error,
                                                            const QVariant& response)
{
    const QVariantMap map = context.toMap();
    writeStatusEntry(indexOf(map.value(QStringLiteral("matchedIndex"))),
                     map.value(QStringLiteral("statusKey")).toString(),
                     ResultCode(error, response));
}

void CUploadZapkLicenseCtrl::uploadZapkLicenseFinishedHandler()
{
    SetWorking(false);
    emit allVerified();
}

void CUploadZapkLicenseCtrl::ClearGroup(const QVariantList& entries, const QString& statusKey)
{
    for (const QVariant& value : entries)
        writeStatusEntry(indexOf(value.toMap().value(QStringLiteral("matchedIndex"))), statusKey,
                         Nothing);
}

void CUploadZapkLicenseCtrl::ResetGroupToWaiting(const QString& statusKey)
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

void CUploadZapkLicenseCtrl::SetStatus(int row, const QString& statusKey, int code)
{
    if (m_model)
        writeStatusEntry(m_model->index(row, 0), statusKey, code);
}

void CUploadZapkLicenseCtrl::Abort()
{
    m_uploadRunner->Abort();
}
