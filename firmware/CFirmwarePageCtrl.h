#pragma once

#include "CPageCtrl.h"

#include <QMutex>
#include <QPointer>
#include <QUrl>
#include <deque>

class CFirmwareDevicesProxyModel;
class CModelCtrl;
class CFirmwarePageModel;
class CUpgradeFirmwareCtrl;

// The firmware page: the selected devices cut into groups by model, one file per group, and a
// first-in, first-out queue of started groups upgraded one after the other.
class CFirmwarePageCtrl : public CPageCtrl
{
    Q_OBJECT
    Q_PROPERTY(bool isApplyButtonAvailable READ isApplyButtonAvailable NOTIFY
                   isApplyButtonAvailableChanged)
public:
    enum E_Open_File_Error
    {
        InvalidGroupIndex = 1,
        GroupCurrentlyWorking = 2,
        FileInvalid = 4
    };
    Q_ENUM(E_Open_File_Error)

    explicit CFirmwarePageCtrl(QObject* parent = nullptr);
    ~CFirmwarePageCtrl() override;

    bool isApplyButtonAvailable() const { return m_isApplyButtonAvailable; }

    Q_INVOKABLE void enterPage() override;
    Q_INVOKABLE void leavePage() override;
    Q_INVOKABLE void setDisplayDevices(int iPageModelRow);
    Q_INVOKABLE void setDisplayAllDevices();
    Q_INVOKABLE void setFirmwarePath(int iPageModelRow, const QUrl& firmwareUrl);
    Q_INVOKABLE void setScript(bool bIsScript);
    Q_INVOKABLE void start(int iPageModelRow);
    Q_INVOKABLE void startOnFailed(int iPageModelRow);
    Q_INVOKABLE void startAll();
    Q_INVOKABLE void setNeedRemoveAfter(bool bNeed);
    Q_INVOKABLE void startAllFailed();
    Q_INVOKABLE void cancelWaiting(int iPageModelRow);
    using CPageCtrl::start;
    using CPageCtrl::startOnFailed;
    QString statusKey() const override;
    bool SetMainModelCtrl(QObject* ctrl) override;

    CFirmwarePageModel* PageModel() const { return m_pageModel; }
    CFirmwareDevicesProxyModel* GroupView() const { return m_groupView; }
    CUpgradeFirmwareCtrl* UpgradeCtrl() const { return m_upgradeCtrl; }
    // The queued group names, front first.
    QStringList WaitingQueue() const;

signals:
    void started();
    void openFileFailed(CFirmwarePageCtrl::E_Open_File_Error eErr);
    void fileOpened(int iPageModelRow);
    void isApplyButtonAvailableChanged();

protected:
    void OnStart() override;
    bool CopySelectedDevices() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;

protected slots:
    void OnCtrlComplete() override;

private slots:
    void OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QVector<int>& roles);
    void OnPageModelDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QVector<int>& roles);

private:
    void BuildGroups();
    bool CanStartGroup(int row) const;
    void EnqueueGroup(int row);
    int GroupRow(const QString& name) const;
    int GroupProgress(int row) const;
    int CountGroupErrors(int row) const;
    bool RemoveListWaitingGroup(const QString& name);
    void CopyFirmwareBack();
    void SetGroupValue(int row, int role, const QVariant& value);
    QVariant GroupValue(int row, int role) const;
    void SetApplyButtonAvailable(bool available);

    CUpgradeFirmwareCtrl* m_upgradeCtrl;
    // The main view's controller, kept here too: new firmware is written back through it.
    QPointer<CModelCtrl> m_mainCtrl;
    std::deque<QString> m_waitingQueue;
    mutable QMutex m_queueMutex;
    CFirmwareDevicesProxyModel* m_groupView = nullptr;
    CFirmwarePageModel* m_pageModel;
    bool m_isApplyButtonAvailable = false;
    bool m_needRemoveAfter = true;
};
