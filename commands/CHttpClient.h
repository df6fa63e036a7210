#pragma once

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QTimer>
#include <QUrl>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;

// A small blocking client for worker threads: one GET at a time, the calling thread waiting in a
// local event loop until the reply is complete or the time-out aborts it.
class CHttpClient : public QObject
{
    Q_OBJECT
public:
    enum EResult
    {
        eReplyError = 0,
        eNoReply = 1,
        eReplyTimeout = 3,
        eReplyAuthFail = 4,
        eReplyMoved = 5,
        eReplyOk = 6
    };
    Q_ENUM(EResult)

    explicit CHttpClient(QObject* parent = nullptr);
    ~CHttpClient() override;

    void SetTimeout(int ms);
    void Get(const QUrl& url, const QString& user, const QString& password);
    EResult Result() const;
    QByteArray ReadBody();
    QUrl RedirectUrl() const;

    // Same purpose as the asynchronous client's cap: an endless body ends as an error.
    void SetMaxReplyBytes(qint64 bytes) { m_maxReplyBytes = bytes; }

private slots:
    void ReplyHandler(QNetworkReply* reply);
    void OnAuthRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void OnSslErrors(QNetworkReply* reply, const QList<QSslError>& errors);

private:
    QNetworkAccessManager* m_manager;
    QString m_user;
    QString m_password;
    QPointer<QNetworkReply> m_reply;
    QEventLoop m_loop;
    QTimer m_timer;
    int m_timeoutMs = 180000;
    qint64 m_maxReplyBytes;
    bool m_tooLarge = false;
};
