#pragma once

#include "CDeviceInfo.h"
#include "CDeviceSearcher.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <memory>

// The main page's discovery: runs a plain or a range discovery for a bounded time, turns each
// answer into a device record, filters it, and reports progress and the end of the search.
// deviceFound is emitted on the library's thread; connect to it with a queued connection.
class CDeviceSearcherCtrl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool searching READ isSearching NOTIFY searchingChanged)

public:
    explicit CDeviceSearcherCtrl(QObject* parent = nullptr);
    ~CDeviceSearcherCtrl() override;

    // Plain discovery for the search time. False, and nothing changes, while a search runs; the
    // search ends with searchStopped even when the library could not be started.
    Q_INVOKABLE bool start();
    // Range discovery from first to last for seconds (the search time when below 1).
    Q_INVOKABLE bool startRange(const QString& first, const QString& last, int seconds);
    // Silent stop before a new discovery: no searchStopped.
    Q_INVOKABLE void abort();
    // User stop without blocking: the library stops on a thread of its own, searchStopped follows.
    Q_INVOKABLE void stopInBackground();
    Q_INVOKABLE void setNVOnly(bool nvOnly);
    Q_INVOKABLE void setShowAllBrands(bool showAll);
    // Percent of the running range discovery's duration elapsed (may pass 100 after its end).
    Q_INVOKABLE double progress() const;

    bool isSearching() const;
    std::shared_ptr<CDeviceSearcher> searcher() const { return m_searcher; }

    // The settings are read once, at construction; these override them (tests, tools).
    void setPort(quint16 port) { m_port = port; }
    void setSearchTime(int ms) { m_searchTime = ms; }
    quint16 port() const { return m_port; }
    int searchTime() const { return m_searchTime; }

    // The brand words an identification string's second piece must be one of.
    static QStringList brandList();

signals:
    void deviceFound(std::shared_ptr<CDeviceInfo> device);
    void searchStopped();
    void progressChanged();
    void searchingChanged();

public slots:
    void StopSearchDevices();
    void WorkerStop();

private:
    void handleAnswer(const CDeviceSearchInfo& info);
    void stopTimers();

    std::shared_ptr<CDeviceSearcher> m_searcher;
    quint16 m_port;
    int m_searchTime;
    QTimer m_searchTimer;
    QTimer m_progressTimer;
    QElapsedTimer m_elapsed;
    qint64 m_duration = 0;
    std::atomic<bool> m_showAllBrand;
    std::atomic<bool> m_nvOnly{false};
    const QStringList m_brands;
};
