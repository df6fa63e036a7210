#pragma once

#include "CPageCtrl.h"

class CRebootDevicesCtrl;

// The restart page: restarts the selected devices and waits for each to come back.
class CRebootPageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    explicit CRebootPageCtrl(QObject* parent = nullptr);
    ~CRebootPageCtrl() override;

    void enterPage() override;
    void leavePage() override;
    void startOnFailed() override;
    QString statusKey() const override;
    CRebootDevicesCtrl* DevicesCtrl() const { return m_devicesCtrl; }

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

protected slots:
    void OnCtrlComplete() override;

private:
    CRebootDevicesCtrl* m_devicesCtrl;
};
