#pragma once

#include "CDeviceSearcher.h"

#include <QList>
#include <QMutex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QThread>
#include <QVariantMap>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QAbstractItemModel;

// Confirms after an IP assignment that the devices came back at their new addresses: runs
// discoveries pass after pass, marks each row that answers (same model, MAC, identification and
// HTTP port) as succeeded with its new address, and the rows still waiting after the last pass
// as timed out.
//
// The page model lives on the GUI thread, so rows are read and written there, by functions posted
// to the model's thread that hold the mutex shared with the IP-assignment controller. The runner
// works on a snapshot of the rows it waits for and never calls the model from its own thread.
class DeviceSearchRunner : public QThread
{
    Q_OBJECT

public:
    explicit DeviceSearchRunner(QObject* parent = nullptr);
    ~DeviceSearchRunner() override;

    // The request contexts of the IP-assignment jobs; each holds the row's model index under
    // "context". Call on the model's thread before start().
    void setContexts(const QList<QVariantMap>& contexts);
    void setMutex(QMutex* mutex);
    void setModel(QAbstractItemModel* model);
    // Verify by range discovery between first and last, each pass lasting at least seconds.
    void setRange(bool ranged, const QString& first, const QString& last, int seconds);
    // Ends the loop at its next check without allVerified; waits in progress end at once.
    void requestStop();

    // Timing and port of the passes: wait before each pass (10 s), length of a plain discovery
    // (5 s), number of passes (10), discovery port (the "drmPort" setting, 5678 by default).
    void setWaitMs(int ms) { m_waitMs = ms; }
    void setSearchMs(int ms) { m_searchMs = ms; }
    void setMaxPasses(int passes) { m_maxPasses = passes; }
    void setPort(quint16 port) { m_port = port; }

signals:
    void allVerified();

protected:
    void run() override;

private:
    // What the runner knows of one row. The persistent indexes themselves stay in Shared and are
    // touched only on the model's thread.
    struct Row
    {
        bool present = false;
        int status = -1;
        QString model;
        QString mac;
        QString firmwareInfo;
        int httpPort = 0;
    };
    struct Shared
    {
        QList<QPersistentModelIndex> indexes; // model thread only
        std::mutex mutex;                     // guards rows
        QList<Row> rows;
    };

    bool sleepMs(int ms);
    bool onModelThread(std::function<void()> work);
    bool refreshRows();
    bool anyVerifying();
    void match(const CDeviceSearchInfo& info);

    QMutex* m_mutex = nullptr;
    QPointer<QAbstractItemModel> m_model;
    bool m_ranged = false;
    QString m_first;
    QString m_last;
    int m_rangeMs = 0;
    int m_waitMs = 10000;
    int m_searchMs = 5000;
    int m_maxPasses = 10;
    quint16 m_port;

    std::atomic<bool> m_stop{false};
    std::mutex m_sleepMutex;
    std::condition_variable m_sleepCond;
    std::shared_ptr<Shared> m_shared;
    CDeviceSearcher m_searcher;
};
