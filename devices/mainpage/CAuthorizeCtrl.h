#pragma once

#include "CDeviceInfo.h"
#include "CHttpClient2.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

class CCgiGetDevicesCtrl;
class CGetParamValueCtrl;
class QAbstractItemModel;

// Tests credentials against the chosen devices of a view, writes each device's outcome into its
// row's status, fills the record from the device's identity answer, asks every device that
// answered for its SD cards, and gives factory-new devices their first password.
class CAuthorizeCtrl : public QObject
{
    Q_OBJECT
public:
    // The statuses this controller writes (same numbers as the shared status table).
    enum E_Test_Conn_Result
    {
        Empty = -1,
        UnknownFail = 0,
        PreTestFailed = 100,
        AuthFail = 101,
        Testing = 102,
        InQueue = 103,
        Success = 104,
        InvalidInput = 105,
        ServerNotFound = 106,
        Timeout = 107,
        NeedToSetPassword = 108
    };
    Q_ENUM(E_Test_Conn_Result)

    static const QString kIdentityPath;
    static const QStringList kIdentityParameters;
    static const QString kSdCardPath;
    static const QString kNewPasswordCommand;

    explicit CAuthorizeCtrl(QObject* parent = nullptr);
    ~CAuthorizeCtrl() override;

    // Starts one batch over the selected rows (every row when none is selected, except in a
    // pre-test). A pre-test takes only rows never tested.
    virtual void authorize(const QString& username, const QString& password, bool preAuth);
    // Stops everything in flight; the rows being tested end as timed out.
    virtual void abort();

    // Tests rows never tested with the factory user and no password.
    void preTest();
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return m_model; }

    // The password rules of the device at position index among the devices waiting for a first
    // password (blocks in a local event loop while the device answers).
    QVariantMap getPasswordPolicyRuleForSetNewPassword(int index);
    // Sets password as the first password of every device waiting for one, then authorizes them
    // with it.
    void setNewFWPassword(const QString& password);

    QVariantList needPasswordJobs() const { return m_needPasswordJobs; }
    CHttpClient2* infoClient() const { return m_infoClient.get(); }
    CHttpClient2* sdClient() const { return m_sdClient.get(); }

    // The role map that finds a job's row: address (alias or normal), HTTP port and credentials.
    static RoleMap jobMatchMap(const QVariantMap& job);

signals:
    void deviceStatusChanged(QMap<int, QVariant> from, QMap<int, QVariant> to);
    void deviceInfoFound(QMap<int, QVariant> from, QMap<int, QVariant> to);
    void needToSetPasswordSignal();
    void newPasswordAuthorizeStart();
    void authorizeFinished();

private slots:
    void handleGetCameraInfoResponse(const QVariant& context, CHttpClient2::ENetworkError result,
                                     const QVariant& response);
    void handleGetSDCardStatus(const QVariant& context, CHttpClient2::ENetworkError result,
                               const QVariant& response);
    void onNewPasswordSent();

private:
    static QVariantList takeJob(QVariantList* jobs, const QString& context);
    void markNeedPasswordRows(E_Test_Conn_Result status);

    QPointer<QAbstractItemModel> m_model;
    int m_needPasswordCount = 0;
    QVariantList m_needPasswordJobs;
    QString m_username;
    QString m_password;
    CCgiGetDevicesCtrl* m_passwordSetter;
    CGetParamValueCtrl* m_policyReader;
    QString m_newPassword;
    std::shared_ptr<CHttpClient2> m_infoClient;
    std::shared_ptr<CHttpClient2> m_sdClient;
    QVariantList m_pendingJobs;
    QVariantList m_foundJobs;
    QVariantList m_sdPendingJobs;
};
