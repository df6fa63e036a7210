#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QTimer>

class CGetParamCtrl;
class CUploadFileCtrl;

// Upgrades the devices of one model with one file: uploads it to each of them, then polls them
// until each reports a new firmware or the attempts run out.
class CUpgradeFirmwareCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    enum E_Upload_Result
    {
        Nothing = -1,
        WaitToWork = 400,
        Loading = 401,
        Uploaded = 402,
        Success = 403,
        Fail = 404,
        NetworkError = 405,
        CannotOpenFile = 406,
        AuthFail = 407,
        Timeout = 408
    };
    Q_ENUM(E_Upload_Result)

    static const QString kStatusKey;

    explicit CUpgradeFirmwareCtrl(QObject* parent = nullptr);
    ~CUpgradeFirmwareCtrl() override;

    // Starts a run for every device of model; false while a run is in progress or without a
    // model. The firmware model is accepted for the page's sake and not used.
    bool Start(const QString& model, const QString& firmwareModel, const QString& path);
    void MarkModelWaiting(const QString& model);
    void ClearModelStatus(const QString& model);
    void Abort();
    void SetScript(bool isScript) { m_isScript = isScript; }
    bool IsScript() const { return m_isScript; }

    CUploadFileCtrl* UploadRunner() const { return m_uploadRunner; }
    CGetParamCtrl* VerifyRunner() const { return m_verifyRunner; }
    int AttemptCount() const { return m_attempts; }

    // The CGI path and multipart part name an upload to model takes.
    static QString UploadPath(const QString& model, bool isScript);
    static QString UploadPartName(const QString& model, bool isScript);

signals:
    void allVerified();

protected slots:
    void uploadResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void uploadFinishedHandler();
    void verifyResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void verifyFinishedHandler();
    void timerEvent();

private:
    // What a run knows of one device beyond its status code.
    struct SJob
    {
        QString ip;
        QString firmwareBefore; // the identification the device had before the upload
        bool seenAway = false;  // it has failed to answer since the upload (it restarted)
        bool answeredOld = false;
        bool script = false; // an event script, not a firmware
    };

    QModelIndexList DevicesOfModel(const QString& model) const;
    void SetDeviceStatus(const QModelIndex& index, int code);
    bool HasUploadedJobs() const;
    void Finish();

    CUploadFileCtrl* m_uploadRunner;
    CGetParamCtrl* m_verifyRunner;
    QVariantList m_jobs;
    QHash<QPersistentModelIndex, SJob> m_jobState;
    bool m_isScript = false;
    int m_attempts = 0;
    QTimer m_sleepTimer;
};
