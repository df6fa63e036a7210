#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

class CExportFileCtrl;
class CGetParamCtrl;
class CSetParamCtrl;
class CUploadFileCtrl;

// Runs every device operation of the application page on the selected module rows and writes
// each device's outcome under the page's current action key.
class CZAPKDevicesCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kTrendMicro;

    explicit CZAPKDevicesCtrl(QObject* parent = nullptr);
    ~CZAPKDevicesCtrl() override;

    void SetKey(const QString& key) { m_key = key; }
    QString Key() const { return m_key; }
    void SetExportBaseFolder(const QString& folder) { m_exportBase = folder; }
    QString ExportBaseFolder() const { return m_exportBase; }
    QString ExportRunFolder() const { return m_exportRun; }

    bool TurnOnOff(bool on);
    bool Remove();
    void GetSignature(bool forced, bool selectedOnly);
    bool SetAutoUpdate(bool isAuto);
    bool UploadTrendMicroConfig(const QString& filePath);
    bool UploadStereoConfig(const QString& filePath, const QString& module);
    bool ExportTrendMicroLog();
    bool ExportStereo(const QString& module, int zapkIndex, const QString& ip);
    void Abort();

    // The path a module's configuration upload goes to; empty for a module without one.
    static QString ConfigUploadPath(const QString& module);
    // Dotted versions compared number by number, missing numbers counting as 0.
    static int CompareVersions(const QString& a, const QString& b);
    // The result mapping shared by the handlers.
    static int ResultCode(CHttpClient2::ENetworkError result);

signals:
    void verified(bool allOn);
    void removeInBtn(int num);
    void exportResult(const QString& result);
    void trendMicroExportPathSet(const QString& path);
    void stereoExportPathSet(const QString& path);

protected slots:
    void turnOnOffPackageResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                                       const QVariant& response);
    void turnOnOffPackageFinishedHandler();
    void handleGetTrendMicroSignatureResult(const QVariant& context,
                                            CHttpClient2::ENetworkError result,
                                            const QVariant& response);
    void handleGetTrendMicroSignatureFinished();
    void handleGetZapkModuleStatusResult(const QVariant& context,
                                         CHttpClient2::ENetworkError result,
                                         const QVariant& response);
    void handleGetZapkModuleStatusFinished();
    void removeZapkResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                                 const QVariant& response);
    void removeZapkFinishedHandler();
    void saveFileHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                         const QVariant& response);
    void exportFileResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                                 const QVariant& response);
    void exportFileFinishedHandler();
    void uploadTrendMicroConfigResultHandler(const QVariant& context,
                                             CHttpClient2::ENetworkError result,
                                             const QVariant& response);
    void uploadTrendMicroConfigFinishedHandler();
    void uploadStereoConfigResultHandler(const QVariant& context,
                                         CHttpClient2::ENetworkError result,
                                         const QVariant& response);
    void uploadStereoConfigFinishedHandler();
    void setTrendMicroAutoUpdateResultHandler(const QVariant& context,
                                              CHttpClient2::ENetworkError result,
                                              const QVariant& response);
    void setTrendMicroAutoUpdateFinishedHandler();

private:
    QList<QModelIndex> SelectedRows() const;
    QVariantMap ModuleContext(const QModelIndex& index) const;
    void WriteCode(const QModelIndex& index, int code);
    void WriteResult(const QVariant& context, CHttpClient2::ENetworkError result);
    QVariantList OnOffJobs(const QString& cmd);
    void RunModuleStatusQuery();
    bool StartExport(const QList<QModelIndex>& rows, const QString& module,
                     const QVariantList& commands);
    QString DeviceFolder(const QModelIndex& index, const QString& module) const;
    bool SaveResponse(const QString& folder, const QVariantMap& response) const;
    void Finish();

    CSetParamCtrl* m_onOffRunner;
    CGetParamCtrl* m_signatureRunner;
    CGetParamCtrl* m_moduleStatusRunner;
    CSetParamCtrl* m_uninstallRunner;
    CGetParamCtrl* m_updateModeRunner;
    CExportFileCtrl* m_exportRunner;
    CUploadFileCtrl* m_trendUploadRunner;
    CUploadFileCtrl* m_moduleUploadRunner;
    QString m_key = QStringLiteral("zapk");
    QString m_exportBase;
    QString m_exportRun;
    QVariantList m_lastOnOffJobs;
    bool m_aborting = false;
};
