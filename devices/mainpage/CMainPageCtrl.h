#pragma once

#include "CDeviceInfo.h"
#include "CRoleMapEditor.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

class CAuthorizeCtrl;
class CDeviceSearcherCtrl;
class CImportDeviceCtrl;
class CLanguageSwitcher;
class CMainDeviceChain;
#include <QQmlEngine>

// The controller behind the device table: it owns the device list and its views, runs
// discovery, adds and imports devices, authorizes them and sets first passwords, opens a
// device's web page and switches the language.
class CMainPageCtrl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString currentLanguage READ currentLanguage NOTIFY currentLanguageChanged)
public:
    enum E_Add_Device_Error
    {
        UnknownFail = 0,
        AlreadyExist = 1,
        Timeout = 2
    };
    Q_ENUM(E_Add_Device_Error)

    explicit CMainPageCtrl(QObject* parent = nullptr);
    ~CMainPageCtrl() override;

    void setEngine(QQmlEngine* engine) { m_engine = engine; }

    CMainDeviceChain* chain() const { return m_chain; }
    CDeviceSearcherCtrl* searcher() const { return m_searcher; }
    CAuthorizeCtrl* authorizeCtrl() const { return m_authorizeCtrl; }
    CAuthorizeCtrl* unauthorizedCtrl() const { return m_unauthorizedCtrl; }
    CImportDeviceCtrl* importCtrl() const { return m_importCtrl; }
    CImportDeviceCtrl* addCtrl() const { return m_addCtrl; }
    bool useDefaultBrowser() const { return m_useDefaultBrowser; }

    double progress() const;

    Q_INVOKABLE bool startSearchDevices();
    Q_INVOKABLE bool startSearchIPRangeDevices(const QString& strIPRangeStart,
                                               const QString& strIPRangeEnd, int zRequiredTime);
    Q_INVOKABLE void stopSearchDevices();
    Q_INVOKABLE void userStops();
    Q_INVOKABLE void authorize(const QString& strUsername, const QString& strPassword);
    Q_INVOKABLE void authorizeUnauthorized(const QString& strUsername, const QString& strPassword,
                                           int iIndex);
    Q_INVOKABLE void authorizeUnauthorized(const QString& strUsername, const QString& strPassword);
    Q_INVOKABLE void abortAuthorizeUnauthorized();
    Q_INVOKABLE QVariantMap getPasswordPolicyRuleForSetNewPassword(int index);
    Q_INVOKABLE void setNewFWPassword(const QString& strPassword);
    Q_INVOKABLE bool importDevices(const QString& strFilePath);
    Q_INVOKABLE bool importDevicesFromUrl(const QUrl& url);
    Q_INVOKABLE bool addDevice(const QString& strIp, const QString& strPort);
    Q_INVOKABLE QVariantList getFailedImport() const;
    Q_INVOKABLE void abortAllWorkingJobs();
    Q_INVOKABLE void leavePage();
    Q_INVOKABLE void setShowAllBrands(bool bShow);
    Q_INVOKABLE void setNVOnly(bool bNVOnly);
    Q_INVOKABLE void setNVRSelectable(bool b);
    Q_INVOKABLE void clearAllSelected();
    Q_INVOKABLE void openWebPage(const QUrl& url);
    Q_INVOKABLE void toggleBrowser();
    Q_INVOKABLE QVariant getSettingsValue(const QString& key, const QVariant& defaultValue) const;
    Q_INVOKABLE QVariant getSettingsValue(const QString& key) const;
    Q_INVOKABLE void setTranslation(const QString& file);
    Q_INVOKABLE QString currentLanguage() const;

signals:
    void devicesFound();
    void searchStopped();
    void addDeviceFinished();
    void addDeviceSucceeded();
    void addDeviceFailed(CMainPageCtrl::E_Add_Device_Error eErr);
    void importDevicesFinished();
    void importFileError();
    void someImportFailed();
    void needToSetPassword();
    void authorizing();
    void authorizeStopped();
    void progressChanged();
    void currentLanguageChanged();

private slots:
    void onDeviceFound(std::shared_ptr<CDeviceInfo> device);
    void onSearchStopped();
    void OnImportDevices(std::deque<std::shared_ptr<CDeviceInfo>> listDevices);
    void OnImportAlreadyExist(const QVariantList& rowList);
    void OnAddDeviceFailed();
    void OnUISelectionChanged();
    void OnModelCtrlSorted();
    void OnNeedToSetPassword();
    void ModifyModelRow(int iSourceRow, QMap<int, QVariant> newData);
    void FillModelRow(int iSourceRow, QMap<int, QVariant> to);
    void ModifyModelEntry(QMap<int, QVariant> from, QMap<int, QVariant> to);
    void FillModelEntry(QMap<int, QVariant> from, QMap<int, QVariant> to);

private:
    void abortJobs();
    // What every discovery does first: stop all work and drop the last discovery's devices.
    void prepareDiscovery();
    void clearNewMarks();

    CImportDeviceCtrl* m_importCtrl;
    CImportDeviceCtrl* m_addCtrl;
    CAuthorizeCtrl* m_authorizeCtrl;
    CAuthorizeCtrl* m_unauthorizedCtrl;
    CDeviceSearcherCtrl* m_searcher;
    CMainDeviceChain* m_chain;
    CRoleMapEditor m_roleMaps;
    bool m_useDefaultBrowser = false;
    CLanguageSwitcher* m_language;
    QPointer<QQmlEngine> m_engine;
};
