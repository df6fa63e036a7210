#pragma once

#include "CDeviceConnInfo.h"
#include "CHttpClient.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantMap>
#include <atomic>
#include <mutex>
#include <thread>

// What to read from one device: CGI path -> parameter names, in path order.
using ParamRequests = QMap<QString, QSet<QString>>;

// Reads parameter groups, capabilities and the password policy of one device. Reading the
// groups runs on a worker thread with its own blocking HTTP client; the result arrives through
// jobFinished, which reaches the owner by a queued connection.
class CGetParamValueCtrl : public QObject
{
    Q_OBJECT
public:
    // Outcome of a read.
    enum EResult
    {
        NothingRequested = 0,
        NoUsableAnswer = 1,
        AuthFail = 2,
        Timeout = 3,
        Success = 4
    };
    Q_ENUM(EResult)

    static constexpr int kRequestTimeoutMs = 60000;

    explicit CGetParamValueCtrl(QObject* parent = nullptr);
    ~CGetParamValueCtrl() override;

    // Starts reading requests from conn on the worker thread. False while a read is running.
    bool start(const CDeviceConnInfo& conn, const ParamRequests& requests);
    bool isRunning() const { return m_running; }

    QMap<QString, QString> values() const;
    int digitalInputCount() const;
    int digitalOutputCount() const;
    bool supportSmartStream() const;

    // Reads the password parameters on the calling thread (blocking, in a local event loop) and
    // merges them into the values.
    int readPasswordPolicy(const CDeviceConnInfo& conn, bool factoryMode);
    // The password rule map of the values read so far (defaults while nothing was read).
    QVariantMap passwordPolicyRule() const;

    // The group names of a parameter set: each name up to its first "_", without duplicates.
    static QStringList groupNames(const QSet<QString>& parameters);

signals:
    void jobFinished(int iResult);

private:
    void work(CDeviceConnInfo conn, ParamRequests requests);
    // One GET of path?query, its pairs stored into the values; a reader result.
    int request(const CDeviceConnInfo& conn, const QString& path, const QString& query);
    int mapResult(CHttpClient& client, int redirectsLeft, const CDeviceConnInfo& conn);
    void store(const QByteArray& body);

    std::atomic<bool> m_running{false};
    std::thread m_worker;
    mutable std::mutex m_valuesMutex;
    QMap<QString, QString> m_values;
};
