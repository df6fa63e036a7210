#pragma once

#include "CPageCtrl.h"

class CCgiGetDevicesCtrl;

// The CGI page: one typed CGI query to every selected device, optionally saving the answers.
class CCgiGetPageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    explicit CCgiGetPageCtrl(QObject* parent = nullptr);
    ~CCgiGetPageCtrl() override;

    void enterPage() override;
    void leavePage() override;
    void startOnFailed() override;
    QString statusKey() const override;
    Q_INVOKABLE void setCgiCmd(const QString& strCgiCmd);
    Q_INVOKABLE void setToFile(bool bToFile);
    CCgiGetDevicesCtrl* DevicesCtrl() const { return m_devicesCtrl; }

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

protected slots:
    void OnCtrlComplete() override;

private:
    CCgiGetDevicesCtrl* m_devicesCtrl;
    QString m_command;
    bool m_toFile = false;
};
