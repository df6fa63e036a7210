#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QVector>
#include <functional>

class CAppendedDataModel;
class CDeviceListModel;
class CModelCtrl;
class CStatusMapFilterModel;
class CStatusMapSortModel;
class QAbstractItemModel;

// Base of every operation page: it copies the devices selected on the main page into a list of
// its own, shows each device's outcome in that copy and reports progress, error count and a page
// status to QML.
class CPageCtrl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(int errorCount READ errorCount NOTIFY errorCountChanged)
    Q_PROPERTY(QString statusKey READ statusKey NOTIFY statusKeyChanged)
    Q_PROPERTY(int pageStatus READ pageStatus NOTIFY pageStatusChanged)
public:
    enum E_Page_Status
    {
        Nothing = -1,
        UnknownError = 0,
        Loading = 1,
        Waiting = 2,
        Working = 3,
        Finished = 4
    };
    Q_ENUM(E_Page_Status)

    explicit CPageCtrl(QObject* parent = nullptr);
    ~CPageCtrl() override;

    Q_INVOKABLE virtual void enterPage();
    Q_INVOKABLE virtual void leavePage();
    Q_INVOKABLE virtual void start();
    Q_INVOKABLE virtual void startOnFailed();
    virtual int progress() const;
    virtual int errorCount() const;
    virtual QString statusKey() const;
    virtual int pageStatus() const;
    virtual bool SetMainModelCtrl(QObject* ctrl);
    virtual QAbstractItemModel* DevicesModel() const;
    virtual QObject* DevicesModelCtrl() const;
    virtual QAbstractItemModel* FailedModel() const;

    // The layers of the page's chain, for the page's own device controller and for tests.
    CDeviceListModel* PageList() const { return m_pageList; }
    CAppendedDataModel* SelectionLayer() const { return m_selectionLayer; }
    CAppendedDataModel* StatusLayer() const { return m_statusLayer; }
    QList<int> CopiedRows() const { return m_copiedRows; }

signals:
    void completed();
    void startFailed(int iErrorCode);
    void enterPageFailed(int iErrorCode);
    void progressChanged();
    void errorCountChanged();
    void statusKeyChanged();
    void pageStatusChanged();

protected:
    virtual void OnStart();
    virtual bool CopySelectedDevices();
    virtual void SetupModels();
    virtual void AttachDevicesCtrl();
    virtual void setProgress(int progress);
    virtual void setErrorCount(int count);
    virtual void setStatusKey(const QString& key);
    virtual void setPageStatus(int status);
    virtual bool IsLeaving() const;
    // The page's progress from its rows' statuses; pages override it.
    virtual int ComputeProgress() const;

    // Pages set the failure codes their failed model shows.
    void SetFailureCodes(const QList<int>& codes);
    int RowCount() const;
    int StatusAt(int row) const;
    int CountRows(const std::function<bool(int status)>& predicate) const;
    // Rows per status code, kept up to date as statuses change.
    const QMap<int, int>& StatusCounts() const;
    void RefreshFailedModel();

protected slots:
    virtual void OnCtrlComplete();
    void OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QVector<int>& roles);

private:
    void RebuildStatusCache() const;

    QPointer<CModelCtrl> m_mainModelCtrl;
    CDeviceListModel* m_pageList = nullptr;
    CAppendedDataModel* m_selectionLayer = nullptr;
    CAppendedDataModel* m_statusLayer = nullptr;
    CStatusMapSortModel* m_devicesModel = nullptr;
    CModelCtrl* m_devicesModelCtrl = nullptr;
    CStatusMapFilterModel* m_failedModel = nullptr;
    QList<int> m_copiedRows;
    bool m_leaving = false;
    int m_progress = 0;
    int m_errorCount = 0;
    QString m_statusKey;
    int m_pageStatus = Nothing;
    // Every status change recomputes the progress; with a thousand rows a full scan per change
    // would stall the user interface, so the page keeps each row's code and a count per code.
    mutable QVector<int> m_rowStatus;
    mutable QMap<int, int> m_statusCounts;
    mutable bool m_statusCacheValid = false;
};
