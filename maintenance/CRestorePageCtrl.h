#pragma once

#include "CPageCtrl.h"

class CRestoreDevicesCtrl;

// The restore page: resets the selected devices to factory settings.
class CRestorePageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    explicit CRestorePageCtrl(QObject* parent = nullptr);
    ~CRestorePageCtrl() override;

    void enterPage() override;
    void leavePage() override;
    void startOnFailed() override;
    QString statusKey() const override;
    // Groups of settings the devices keep, as a mask of bits.
    Q_INVOKABLE void setExcludeGroup(int iExclude);
    CRestoreDevicesCtrl* DevicesCtrl() const { return m_devicesCtrl; }

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

protected slots:
    void OnCtrlComplete() override;

private:
    CRestoreDevicesCtrl* m_devicesCtrl;
};
