#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

class CSetParamCtrl;
class CUploadFileCtrl;

// Installs one package file on every device of the page: first tells each device where to keep
// it (SD card or flash), then uploads the file, and writes each outcome under the group's key.
class CUploadZapkPackageCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    enum E_Upload_Result
    {
        Nothing = -1,
        WaitToWork = 600,
        Loading = 601,
        Uploaded = 602,
        Success = 603,
        Fail = 604,
        NetworkError = 605,
        CannotOpenFile = 606,
        AuthFail = 607,
        Timeout = 608
    };
    Q_ENUM(E_Upload_Result)

    explicit CUploadZapkPackageCtrl(QObject* parent = nullptr);
    ~CUploadZapkPackageCtrl() override;

    // Runs one group; false while busy or without a device model.
    bool Start(const QString& filePath, int timeoutMs, const QString& statusKey);
    void SetStatus(int row, const QString& statusKey, int code);
    void ClearGroup(const QString& statusKey);
    void ResetGroupToWaiting(const QString& statusKey);
    void Abort();
    QString CurrentKey() const { return m_statusKey; }

    CUploadFileCtrl* UploadRunner() const { return m_uploadRunner; }

    // The code an upload's outcome stands for; a 200 whose body is a refusal is a failure.
    static int ResultCode(CHttpClient2::ENetworkError result, const QVariant& response);

signals:
    void allVerified();

protected slots:
    void uploadResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void uploadFinishedHandler();
    void saveToSDFinishedHandler();
    void saveToFlashFinishedHandler();

private:
    QVariantList StorageJobs(bool detached) const;
    void RunUploads();

    CUploadFileCtrl* m_uploadRunner;
    CSetParamCtrl* m_saveToSDRunner;
    CSetParamCtrl* m_saveToFlashRunner;
    QString m_statusKey;
    QVariantList m_uploadJobs;
    bool m_aborting = false;
};
