#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

class CUploadFileCtrl;

// Uploads the licence files of one group, each to the one device it was matched to, and writes
// each outcome under the group's key.
class CUploadZapkLicenseCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    enum E_Upload_Result
    {
        Nothing = -1,
        WaitToWork = 500,
        Loading = 501,
        Uploaded = 502,
        Success = 503,
        Fail = 504,
        NetworkError = 505,
        CannotOpenFile = 506,
        AuthFail = 507,
        Timeout = 508
    };
    Q_ENUM(E_Upload_Result)

    explicit CUploadZapkLicenseCtrl(QObject* parent = nullptr);
    ~CUploadZapkLicenseCtrl() override;

    // entries: {"filePath": URL, "matchedIndex": index of the device}. Always true.
    bool Start(const QVariantList& entries, const QString& statusKey);
    void ClearGroup(const QVariantList& entries, const QString& statusKey);
    void ResetGroupToWaiting(const QString& statusKey);
    void SetStatus(int row, const QString& statusKey, int code);
    void Abort();

    static int ResultCode(CHttpClient2::ENetworkError result, const QVariant& response);

signals:
    void allVerified();

protected slots:
    void uploadZapkLicenseResultHandler(const QVariant& context, CHttpClient2::ENetworkError error,
                                        const QVariant& response);
    void uploadZapkLicenseFinishedHandler();

private:
    CUploadFileCtrl* m_uploadRunner;
};
