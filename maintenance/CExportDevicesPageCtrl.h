#pragma once

#include "CPageCtrl.h"

#include <QString>
#include <QUrl>

class CExportDevicesCtrl;

// The device-list export page: writes the selected devices' identity and network settings to a
// CSV file the user names.
class CExportDevicesPageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    explicit CExportDevicesPageCtrl(QObject* parent = nullptr);
    ~CExportDevicesPageCtrl() override;

    using CPageCtrl::start;
    Q_INVOKABLE void start(QUrl url);
    void enterPage() override;
    void leavePage() override;
    void startOnFailed() override;
    Q_INVOKABLE QUrl lastDirPath() const;
    Q_INVOKABLE QString lastFilename() const;
    Q_INVOKABLE QString createFilename() const;
    QString statusKey() const override;
    CExportDevicesCtrl* DevicesCtrl() const { return m_devicesCtrl; }

signals:
    void writeFileFailed();

protected:
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

protected slots:
    void OnCtrlComplete() override;

private:
    void OnWriteFileFailed();

    CExportDevicesCtrl* m_devicesCtrl;
    QString m_lastDir;
    QString m_lastFileName;
};
