#pragma once

#include "CPageCtrl.h"

#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

class CAppendedDataModel;
class CGetParamValueCtrl;
class CModelCtrl;
class CSetDevicesParamsCtrl;
class CSetupContentManager;
class CStatusMapSortModel;

// The batch-setup page: reads the settings of a template camera or a template file into the
// option lists, lets QML pick the settings to apply and writes them to every page device.
class CBatchSetupPageCtrl : public CPageCtrl
{
    Q_OBJECT
    Q_PROPERTY(bool isSameModel READ isSameModel NOTIFY isSameModelChanged)
    Q_PROPERTY(int numChannel READ numChannel NOTIFY numChannelChanged)
    Q_PROPERTY(
        QString currentTemplateInfo READ currentTemplateInfo NOTIFY currentTemplateInfoChanged)
    Q_PROPERTY(bool supportSmartStream2 READ supportSmartStream2 NOTIFY supportSmartStream2Changed)
    Q_PROPERTY(int digitalInputCounts READ digitalInputCounts NOTIFY digitalInputCountsChanged)
    Q_PROPERTY(int digitalOutputCounts READ digitalOutputCounts NOTIFY digitalOutputCountsChanged)
public:
    static const QString kDefaultExportFileName;

    explicit CBatchSetupPageCtrl(const QString& devicePackDirectory, QObject* parent = nullptr);
    ~CBatchSetupPageCtrl() override;

    bool isSameModel() const { return m_isSameModel; }
    int numChannel() const { return m_numChannel; }
    QString currentTemplateInfo() const { return m_currentTemplateInfo; }
    bool supportSmartStream2() const { return m_supportSmartStream2; }
    int digitalInputCounts() const { return m_digitalInputCounts; }
    int digitalOutputCounts() const { return m_digitalOutputCounts; }

    void enterPage() override;
    void leavePage() override;
    void start() override;
    void startOnFailed() override;
    QString statusKey() const override;

    Q_INVOKABLE QObject* GetUISet(int iChannel, QString strUid);
    Q_INVOKABLE QString getDevicePackDynamicJSFilename() const;
    Q_INVOKABLE bool readCurrentOptionFromCamera();
    Q_INVOKABLE void setUidList(QVariantList listOfUidChannelJson);
    Q_INVOKABLE bool exportCurrentOptions(QString strDirPath, QString strFilename);
    Q_INVOKABLE bool exportCurrentOptions(QString strDirPath);
    Q_INVOKABLE bool exportCurrentOptions();
    Q_INVOKABLE bool exportCurrentOptionsToUrl(QUrl url);
    Q_INVOKABLE QUrl lastExportOptionPath() const;
    Q_INVOKABLE QString lastExportOptionFilename() const;
    Q_INVOKABLE bool importCurrentOptions(QString strPath);
    Q_INVOKABLE bool importCurrentOptions();
    Q_INVOKABLE bool importCurrentOptionsFromUrl(QUrl url);
    Q_INVOKABLE void abortSetDevices();
    Q_INVOKABLE bool isOptionListDirty() const;
    Q_INVOKABLE void resetOptionListDirtyBit();
    Q_INVOKABLE QVariantList customizeSettings() const;
    Q_INVOKABLE QVariantMap getPasswordPolcyRule() const;

    QAbstractItemModel* TemplateDevicesModel() const;
    QObject* TemplateDevicesModelCtrl() const;
    CAppendedDataModel* TemplateSelectionLayer() const { return m_templateSelection; }
    CSetupContentManager* Manager() const { return m_manager; }
    CSetDevicesParamsCtrl* SetCtrl() const { return m_setCtrl; }
    CGetParamValueCtrl* Reader() const { return m_reader; }
    QVariantList UidList() const { return m_uidList; }

signals:
    void isSameModelChanged();
    void numChannelChanged();
    void currentTemplateInfoChanged();
    void supportSmartStream2Changed();
    void digitalInputCountsChanged();
    void digitalOutputCountsChanged();
    void readCurrentOptionFromCameraCompleted(int iResult);
    void readCurrentOptionFromFileCompleted(int iResult);
    void devicesRestartingAfterApplied(bool bRestarting);

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;
    int ComputeProgress() const override;

private slots:
    void GetParamFromDeviceHandler(int iResult);
    void OnSetDevicesComplete();

private:
    void setIsSameModel(bool value);
    void setNumChannel(int value);
    void setCurrentTemplateInfo(const QString& value);
    void setSupportSmartStream2(bool value);
    void setDigitalInputCounts(int value);
    void setDigitalOutputCounts(int value);

    QString m_devicePackDirectory;
    CSetupContentManager* m_manager;
    CGetParamValueCtrl* m_reader;
    CSetDevicesParamsCtrl* m_setCtrl;
    CAppendedDataModel* m_templateSelection = nullptr;
    CAppendedDataModel* m_templateStatus = nullptr;
    CStatusMapSortModel* m_templateDevices = nullptr;
    CModelCtrl* m_templateDevicesCtrl = nullptr;
    QVariantList m_uidList;
    QString m_lastExportDirectory;
    QString m_lastExportFileName;
    bool m_isSameModel = false;
    int m_numChannel = 1;
    QString m_currentTemplateInfo;
    bool m_supportSmartStream2 = false;
    int m_digitalInputCounts = 0;
    int m_digitalOutputCounts = 0;
};
