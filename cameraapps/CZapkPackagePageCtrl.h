#pragma once

#include "CPageCtrl.h"

#include <QMutex>
#include <QUrl>
#include <deque>

class CUploadZapkPackageCtrl;
class CZapkPackagePageModel;

// The "Update packages" page: every chosen package file becomes a group installed on all the
// page's devices; started groups wait in a first-in, first-out queue and run one at a time.
class CZapkPackagePageCtrl : public CPageCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;
    static constexpr int kUploadTimeoutMs = 300000;

    explicit CZapkPackagePageCtrl(QObject* parent = nullptr);
    ~CZapkPackagePageCtrl() override;

    Q_INVOKABLE void enterPage() override;
    Q_INVOKABLE void leavePage() override;
    Q_INVOKABLE int addFilePath(const QUrl& fileUrl);
    Q_INVOKABLE void start(int iPageModelRow);
    Q_INVOKABLE void startOnFailed(int iPageModelRow);
    Q_INVOKABLE void startAllFailed();
    Q_INVOKABLE void cancelWaiting(int iPageModelRow);
    using CPageCtrl::start;
    using CPageCtrl::startOnFailed;
    QString statusKey() const override;

    CZapkPackagePageModel* PageModel() const { return m_pageModel; }
    CUploadZapkPackageCtrl* UploadCtrl() const { return m_uploadCtrl; }
    QStringList WaitingQueue() const;

signals:
    void started();

protected:
    void OnStart() override;
    void SetupModels() override;
    void AttachDevicesCtrl() override;

protected slots:
    void OnCtrlComplete() override;

private slots:
    void OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QVector<int>& roles);

private:
    int GroupRow(const QString& statusIndex) const;
    QVariant GroupValue(int row, int role) const;
    void SetGroupValue(int row, int role, const QVariant& value);
    int CountDevices(int code, bool equal) const;
    void RemoveSucceededGroups();

    CUploadZapkPackageCtrl* m_uploadCtrl;
    CZapkPackagePageModel* m_pageModel;
    std::deque<QString> m_waitingQueue;
    mutable QMutex m_queueMutex;
    int m_groupCounter = 0;
};
