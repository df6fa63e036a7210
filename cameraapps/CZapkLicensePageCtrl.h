#pragma once

#include "CPageCtrl.h"
#include "ZapkLicensePageCtrlLogic.h"

#include <QStringList>
#include <QVariantList>

class CUploadZapkLicenseCtrl;
class CZapkLicenseDeviceProxyModel;
class CZapkLicensePageModel;

// The "Update licenses" page: the licence files of one selection are matched to the page's
// devices by the MAC each file names and form one group; each file goes to its own device only.
class CZapkLicensePageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;

    explicit CZapkLicensePageCtrl(QObject* parent = nullptr);
    ~CZapkLicensePageCtrl() override;

    Q_INVOKABLE void enterPage() override;
    Q_INVOKABLE void leavePage() override;
    Q_INVOKABLE int addFilePaths(const QVariantList& filePaths);
    Q_INVOKABLE void start(int iPageModelRow);
    Q_INVOKABLE void startOnFailed(int iPageModelRow);
    Q_INVOKABLE void startAllFailed();
    Q_INVOKABLE void cancelWaiting(int iPageModelRow);
    Q_INVOKABLE void setDisplayDevices(int iPageModelRow);
    Q_INVOKABLE void setDisplayAllDevices();
    using CPageCtrl::start;
    using CPageCtrl::startOnFailed;
    QString statusKey() const override;

    CZapkLicensePageModel* PageModel() const { return m_pageModel; }
    CZapkLicenseDeviceProxyModel* LicenseDeviceView() const { return m_deviceView; }
    QVariantList Entries() const { return m_entries; }
    QStringList WaitingList() const { return m_waitingList; }

signals:
    void started();

protected:
    void OnStart() override;
    bool CopySelectedDevices() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;

private slots:
    void onComplete();
    void OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QVector<int>& roles);

private:
    int GroupRow(const QString& statusIndex) const;
    QVariant GroupValue(int row, int role) const;
    void SetGroupValue(int row, int role, const QVariant& value);
    QVariantList GroupEntries(int row) const;
    int CountEntries(int row, bool succeeded) const;

    CUploadZapkLicenseCtrl* m_uploadCtrl;
    CZapkLicensePageModel* m_pageModel;
    CZapkLicenseDeviceProxyModel* m_deviceView = nullptr;
    ZapkLicensePageCtrlLogic m_logic;
    QVariantList m_entries;
    QStringList m_waitingList;
    int m_groupCounter = 0;
};
