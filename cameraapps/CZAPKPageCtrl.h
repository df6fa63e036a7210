#pragma once

#include "CPageCtrl.h"

#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>
#include <QUrl>
#include <QVector>
#include <memory>

class CAppendedDataModel;
class CModelCtrl;
class CZAPKDevicesCtrl;
class CZAPKLeftModel;
class CZAPKPageModel;

// One application found on one device: device IP, module name, version, status and index.
struct t_ZAPKinfo
{
    QString ip;
    QString name;
    QString version;
    QString status;
    QString index;
};

// The application page: finds the applications on the devices selected on the main page, lists
// one row per application and device grouped by application, and runs the operations on them.
class CZAPKPageCtrl : public CPageCtrl
{
    Q_OBJECT
    Q_PROPERTY(int numFailed READ numFailed NOTIFY numFailedChanged)
    Q_PROPERTY(int numDevices READ numDevices NOTIFY numDevicesChanged)
    Q_PROPERTY(bool working READ working NOTIFY workingChanged)
    Q_PROPERTY(bool onoff READ onoff NOTIFY onoffChanged)
    Q_PROPERTY(QString currModule READ currModule NOTIFY currModuleChanged)
    Q_PROPERTY(QString trendExportPath READ trendExportPath NOTIFY trendExportPathChanged)
    Q_PROPERTY(QString stereoExportPath READ stereoExportPath NOTIFY stereoExportPathChanged)
public:
    enum E_ZAPK_Errors
    {
        UnknownFail = 0,
        CtrlNotAvailable = 1
    };
    Q_ENUM(E_ZAPK_Errors)

    // Discovery asks every device on a thread of a pool this large, never one thread per device.
    static constexpr int kMaxDiscoveryThreads = 16;
    static const QStringList kActionKeys;

    explicit CZAPKPageCtrl(QObject* parent = nullptr);
    ~CZAPKPageCtrl() override;

    void SetMainDeviceList(QAbstractItemModel* model);

    int numFailed() const { return 0; }
    int numDevices() const { return m_numDevices; }
    bool working() const { return m_working; }
    bool onoff() const { return m_onoff; }
    QString currModule() const { return m_currModule; }
    QString trendExportPath() const { return m_trendExportPath; }
    QString stereoExportPath() const { return m_stereoExportPath; }
    QString statusKey() const override { return m_currentKey; }

    Q_INVOKABLE void enterPage() override;
    Q_INVOKABLE void leavePage() override;
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void clearPage();
    Q_INVOKABLE void clearAllStatus();
    Q_INVOKABLE void clearCurrentModuleStatus();
    Q_INVOKABLE void abortWorkingCtrl();
    Q_INVOKABLE void itemClicked(int idx);
    Q_INVOKABLE void setup();
    Q_INVOKABLE void turnOnOff(bool on);
    Q_INVOKABLE void remove();
    Q_INVOKABLE void uploadTrendMicroConfig(const QString& strFilePath);
    Q_INVOKABLE void uploadStereoConfig(const QString& strFilePath, const QString& module);
    Q_INVOKABLE void setAutoUpdate(bool isAuto);
    Q_INVOKABLE void setZAPKExportDir(const QUrl& url);
    Q_INVOKABLE void exportTrendMicroLog();
    Q_INVOKABLE void exportStereo(const QString& module, int zapkIndex, const QString& ip);
    Q_INVOKABLE void getSignature(bool forced);
    Q_INVOKABLE void exportClicked();
    Q_INVOKABLE void setCurrentPackage(const QString& packageName);
    Q_INVOKABLE void setStereoExportPackage(const QString& packageName);
    Q_INVOKABLE QObject* getIdxModel(int idx);
    Q_INVOKABLE void select(int index);
    Q_INVOKABLE void startOnFailed() override;
    Q_INVOKABLE void inspector(int idx);

    CZAPKPageModel* PageModel() const { return m_pageModel; }
    CZAPKPageModel* SelectedDevicesModel() const { return m_selectedModel; }
    CZAPKPageModel* StereoExportModel() const { return m_exportModel; }
    CModelCtrl* PageModelCtrl() const { return m_pageModelCtrl; }
    CModelCtrl* SelectedModelCtrl() const { return m_selectedModelCtrl; }
    CModelCtrl* StereoExportCtrl() const { return m_exportCtrl; }
    CZAPKLeftModel* ButtonModel() const { return m_leftModel; }
    CZAPKDevicesCtrl* DevicesCtrl() const { return m_ctrl; }
    // The top of the page's chain: every module row with all its roles.
    QAbstractItemModel* OperationModel() const;
    int RunningWorkers() const { return m_runningWorkers; }

signals:
    void searchEnd();
    void numFailedChanged();
    void numDevicesChanged();
    void workingChanged();
    void onoffChanged();
    void currModuleChanged();
    void trendExportPathChanged();
    void stereoExportPathChanged();
    void exportResult(const QString& result);
    void setModeResult(bool success);

private slots:
    void resultGetter(const QStringList& r);
    void OnCtrlCompleted();
    void UpdateBtnModel(int num);
    void OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QVector<int>& roles);
    void ExportStereoHandler(const QString& result);
    void TrendMicroExportPathHandler(const QString& target);
    void StereoExportPathHandler(const QString& target);

protected:
    void SetupModels() override;
    void AttachDevicesCtrl() override;

private:
    void SetKey(const QString& key);
    void SetWorkingFlag(bool working);
    void SetOnoff(bool on);
    void SetCurrModule(const QString& module);
    void RebuildRows();
    int CountSelected(bool onlyNotSuccess) const;
    void ClearStatus(const std::function<bool(const QModelIndex&)>& which);

    CZAPKDevicesCtrl* m_ctrl;
    CZAPKLeftModel* m_leftModel;
    QList<CAppendedDataModel*> m_zapkLayers;
    CZAPKPageModel* m_pageModel = nullptr;
    CZAPKPageModel* m_selectedModel = nullptr;
    CZAPKPageModel* m_exportModel = nullptr;
    CModelCtrl* m_pageModelCtrl = nullptr;
    CModelCtrl* m_selectedModelCtrl = nullptr;
    CModelCtrl* m_exportCtrl = nullptr;
    QPointer<QAbstractItemModel> m_mainList;
    QThreadPool m_pool;
    // Answers of an earlier discovery that arrive after a new one started are dropped.
    quint64 m_generation = 0;
    int m_runningWorkers = 0;
    QMap<QString, QStringList> m_moduleMap;
    QList<std::shared_ptr<t_ZAPKinfo>> m_records;
    int m_numDevices = 0;
    bool m_working = false;
    bool m_aborted = false;
    bool m_onoff = true;
    QString m_currModule;
    QString m_trendExportPath;
    QString m_stereoExportPath;
    QString m_currentKey = QStringLiteral("zapk");
    QString m_pendingExportResult;
};
