#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

#include <QPersistentModelIndex>
#include <QTimer>

class CGetParamCtrl;
class CSetParamCtrl;

// Restarts the devices of the reboot page and then polls them until each answers again or the
// retry budget is spent.
class CRebootDevicesCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;

    explicit CRebootDevicesCtrl(QObject* parent = nullptr);
    ~CRebootDevicesCtrl() override;

    bool Start();
    // Ends the run: outstanding devices report their time-out, devices not yet back are given up.
    void Abort();

    CSetParamCtrl* CommandRunner() const { return m_commandRunner; }
    CGetParamCtrl* VerifyRunner() const { return m_verifyRunner; }
    int VerifyPasses() const { return m_passes; }

signals:
    void jobFinished();

protected slots:
    void rebootResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void rebootFinishedHandler();
    void verifyResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void verifyFinishedHandler();
    void OnVerifyTimer();

private:
    QVariantList BuildList();
    QVariantList ContextsStillRebooting() const;
    bool AnyRebooting() const;
    void GiveUpRebooting();
    void Finish();

    CSetParamCtrl* m_commandRunner;
    CGetParamCtrl* m_verifyRunner;
    QVariantList m_contexts;
    QTimer m_timer;
    int m_passes = 0;
    bool m_aborting = false;
};
