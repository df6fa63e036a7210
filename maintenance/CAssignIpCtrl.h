#pragma once

#include "CHttpClient2.h"

#include <QMutex>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QVariantList>

class CSetParamCtrl;
class DeviceSearchRunner;
class QAbstractItemModel;

// Base of the three ways of re-addressing the devices of the IP-assignment page: posts each
// device's new network settings, restarts the devices and then confirms, by discovering them
// again, that each came back and at which address. Rows carry their status code itself (not a
// map) in statusRole and the address they were found at in newIpRole.
class CAssignIpCtrl : public QObject
{
    Q_OBJECT
public:
    enum E_Assign_Ip_Result
    {
        Nothing = -1,
        UnknownFail = 0,
        Loading = 300,
        Verifying = 301,
        Success = 302,
        Skipped = 303,
        ConnFail = 304,
        AuthFail = 305,
        Timeout = 306
    };
    Q_ENUM(E_Assign_Ip_Result)

    explicit CAssignIpCtrl(QObject* parent = nullptr);
    ~CAssignIpCtrl() override;

    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const { return m_model; }
    void SetOnlyFailed(bool onlyFailed) { m_onlyFailed = onlyFailed; }
    bool OnlyFailed() const { return m_onlyFailed; }
    // From a successful Start() until the run has been verified or aborted.
    bool IsWorking() const { return m_working; }
    bool IsVerifying() const;
    // Ends the run without allVerified: nothing more is sent, the verification stops, and rows
    // still waiting for their answer or their confirmation are marked as timed out.
    void Abort();

    // Whether the verification discovers by range (between first and last, each pass lasting at
    // least seconds) instead of by plain discovery.
    void SetVerifyRange(bool ranged, const QString& first, const QString& last, int seconds);

    CSetParamCtrl* AssignRunner() const { return m_assignRunner; }
    CSetParamCtrl* RestartRunner() const { return m_restartRunner; }
    DeviceSearchRunner* VerifyRunner() const { return m_verifyRunner; }
    QVariantList Contexts() const { return m_contexts; }

    static int StatusOf(const QModelIndex& index);

    virtual bool Start();

signals:
    void allVerified();

protected:
    // The contexts of the rows to assign in view order, each row set to Loading; without bodies.
    virtual QVariantList BuildList();
    // Builds the run's list and hands it to RunList.
    virtual void StartRun() = 0;
    // Stores the run's contexts (each with its "data"), gives them to the verification and posts
    // them; an empty list ends the run at once.
    void RunList(const QVariantList& contexts);
    // Whether a row with status takes part in a run.
    bool TakesPart(int status) const;
    // The view's rows, in view order, as indexes that stay valid while rows are written.
    QList<QPersistentModelIndex> ViewRows() const;
    void WriteStatus(const QModelIndex& index, int status);

    QPointer<QAbstractItemModel> m_model;
    // Shared with the verification thread, which writes the same rows.
    QMutex m_mutex;
    QVariantList m_contexts;

protected slots:
    void assignIpStatusChanged(const QVariant& context, CHttpClient2::ENetworkError result,
                               const QVariant& response);
    // The assignment runner has finished: restart every device of the run.
    void setParamFinished();
    // The restart runner has finished: confirm the devices by discovery.
    void assignIpFinished();

private slots:
    void OnVerified();

private:
    CSetParamCtrl* m_assignRunner;
    CSetParamCtrl* m_restartRunner;
    DeviceSearchRunner* m_verifyRunner;
    bool m_onlyFailed = false;
    bool m_working = false;
    bool m_aborting = false;
};
