#pragma once

#include <QHash>
#include <QHttpPart>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVector>
#include <functional>

class QAuthenticator;
class QFile;
class QHttpMultiPart;
class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

// The asynchronous client behind every multi-device operation. A batch sends one request per
// device at once and reports each device's outcome through cmdReply with the caller's tag.
class CHttpClient2 : public QObject
{
    Q_OBJECT
public:
    enum ENetworkError
    {
        eSuccess = 0,
        eFail = 1,
        eCannotOpenFile = 3,
        eTimeout = 4,
        eAuthFail = 5,
        eMoved = 6,
        eNetworkError = 7,
        eNeedToSetPassword = 8,
        eUnsupported = 9
    };
    Q_ENUM(ENetworkError)

    // A device that streams an endless or enormous body must not exhaust the program's memory.
    // The largest legitimate download is a debug report of a few MB.
    static constexpr qint64 kDefaultMaxReplyBytes = 64 * 1024 * 1024;

    explicit CHttpClient2(QObject* parent = nullptr);
    ~CHttpClient2() override;

    // Builds the URL of a request context: "httpPort" 0 selects HTTPS on "httpsPort".
    static QUrl BuildUrl(const QVariantMap& context, const QString& path,
                         const QStringList& parameters);
    // User-Agent and Referer (the port always written) for a URL.
    static QNetworkRequest BuildRequest(const QUrl& url);

    qint64 MaxReplyBytes() const { return m_maxReplyBytes; }
    void SetMaxReplyBytes(qint64 bytes) { m_maxReplyBytes = bytes; }
    // Requests issued and not yet answered, plus those still waiting to be issued.
    int PendingCount() const { return m_pending.size() + m_queue.size(); }

public slots:
    virtual void SendGetCommands(const QVariantList& devices, const QVariantList& commands);
    virtual void SendGetRequests(const QVariantList& contexts);
    virtual void SendGet(const QVariantList& contexts, const QString& path,
                         const QStringList& parameters);
    virtual void SendUpload(const QVariantList& contexts, const QString& path,
                            const QString& partName);
    virtual void SendPost(const QVariantList& contexts, const QString& path);
    virtual void SendPostDevice(const QVariantMap& context, const QString& path, QIODevice* body);
    virtual void SetTimeout(int ms);
    virtual void AbortAll();
    virtual void ClearAccessCache();
    virtual void OnTimeout();

signals:
    void cmdSent(QNetworkReply* reply);
    void cmdReply(const QVariant& context, CHttpClient2::ENetworkError result,
                  const QVariant& response);

private slots:
    void ReplyHandler(QNetworkReply* reply);
    void OnAuthRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void OnSslErrors(QNetworkReply* reply, const QList<QSslError>& errors);

private:
    struct Pending
    {
        QString username;
        QString password;
        QVariant context;
        QByteArray data;
        bool hasData = false;
        QPointer<QHttpMultiPart> multiPart;
        QList<QHttpPart> parts;
        QPointer<QFile> file;
        QPointer<QIODevice> ioDevice;
        bool hasRedirect = false;
        bool tooLarge = false;
    };

    struct Queued
    {
        QVariant tag;
        std::function<void()> issue;
    };
    static constexpr int kManagers = 8;
    static constexpr int kIssueSlice = 50;
    static constexpr qint64 kIssueSliceNs = 2 * 1000 * 1000;

    void StartBatch();
    void Enqueue(const QVariantMap& context, std::function<void()> issue);
    void IssueSome();
    void IssueUpload(const QVariantMap& context, const QString& path, const QString& partName);
    void IssuePost(const QVariantMap& context, const QString& path);
    void IssuePostDevice(const QVariantMap& context, const QString& path, QIODevice* body);
    void SendOneGet(const QVariantMap& context, const QString& path, const QStringList& parameters);
    void Track(QNetworkReply* reply, Pending entry, bool announce);
    void HandleRedirect(QNetworkReply* reply, Pending entry);
    void WatchSize(QNetworkReply* reply);

    QNetworkAccessManager* ManagerFor(const QUrl& url) const;
    QNetworkAccessManager* CreateManager();
    static void RetireManager(QNetworkAccessManager* manager);

    QVector<QNetworkAccessManager*> m_managers;
    QHash<QNetworkReply*, Pending> m_pending;
    QList<Queued> m_queue;
    QTimer m_issueTimer;
    QTimer m_timer;
    int m_timeoutMs = 180000;
    qint64 m_maxReplyBytes = kDefaultMaxReplyBytes;
};

// Further form parts of an upload travel in a context's "httpPart" list as variants.
Q_DECLARE_METATYPE(QHttpPart)
