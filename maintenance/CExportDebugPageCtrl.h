#pragma once

#include "CPageCtrl.h"

#include <QUrl>

class CExportDebugCtrl;

// The debug export page: collects the selected devices' backups, reports and application files
// into a dated folder under a root folder the user chooses.
class CExportDebugPageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    explicit CExportDebugPageCtrl(QObject* parent = nullptr);
    ~CExportDebugPageCtrl() override;

    void enterPage() override;
    void leavePage() override;
    void startOnFailed() override;
    // False while a run is under way.
    Q_INVOKABLE bool setExportRootDirToUrl(QUrl url);
    Q_INVOKABLE QUrl getLastExportDirUrl() const;
    Q_INVOKABLE QString getLastExportDir() const;
    QString statusKey() const override;
    CExportDebugCtrl* DevicesCtrl() const { return m_devicesCtrl; }

signals:
    void writeFileFailed();

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

protected slots:
    void OnCtrlComplete() override;

private:
    CExportDebugCtrl* m_devicesCtrl;
};
