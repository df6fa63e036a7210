#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

#include <memory>

class CExportFileCtrl;

// Downloads the configuration backup, the server report and the camera-application files of
// every device of the debug export page into a folder per device under a dated run folder.
class CExportDebugCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;
    static const QString kRunFolderPrefix;
    // Devices whose downloads are under way at once. Each download is held in memory until it
    // has arrived, and a report can be several MB: a thousand devices at once would hold
    // gigabytes.
    static constexpr int kDefaultDevicesInFlight = 32;

    explicit CExportDebugCtrl(QObject* parent = nullptr);
    ~CExportDebugCtrl() override;

    void SetExportRootDir(const QString& dir) { m_rootDir = dir; }
    QString ExportRootDir() const { return m_rootDir; }
    // Absolute path of the run folder of the last Start(); empty before the first.
    QString RunFolder() const { return m_runFolder; }
    void SetDevicesInFlight(int devices) { m_devicesInFlight = qMax(1, devices); }

    // Every row again, into the run folder of the current minute. False when already working or
    // without a model.
    bool Start();
    // The rows that have not succeeded yet, into the run folder of the last Start().
    bool RestartFailed();
    void Abort();

    std::shared_ptr<CExportFileCtrl> Runner() const { return m_runner; }
    // The folder a row's files go to.
    QString DeviceFolder(const QModelIndex& index) const;
    static int MapResult(CHttpClient2::ENetworkError result);

protected slots:
    void saveFileHandler(const QVariant& context, CHttpClient2::ENetworkError error,
                         const QVariant& response);
    void exportFileResultHandler(const QVariant& context, CHttpClient2::ENetworkError error,
                                 const QVariant& response);
    void exportFileFinishHandler();

private:
    bool Run(bool onlyFailed);
    void SendNextChunk();
    static QModelIndex RowOf(const QVariant& context);
    bool SaveFile(const QModelIndex& index, const QVariantMap& response);

    QString m_rootDir;
    QString m_runFolder;
    std::shared_ptr<CExportFileCtrl> m_runner;
    QVariantList m_devices;
    QVariantList m_commands;
    int m_nextDevice = 0;
    int m_devicesInFlight = kDefaultDevicesInFlight;
    bool m_aborting = false;
};
