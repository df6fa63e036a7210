#include "CHttpClient.h"

#include "CHttpClient2.h"
#include "CHttpResponseLog.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>

CHttpClient::CHttpClient(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)),
      m_maxReplyBytes(CHttpClient2::kDefaultMaxReplyBytes)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this]() {
        if (m_reply)
            m_reply->abort();
        m_loop.quit();
    });
    connect(m_manager, &QNetworkAccessManager::finished, this, &CHttpClient::ReplyHandler);
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this,
            &CHttpClient::OnAuthRequired);
    connect(m_manager, &QNetworkAccessManager::sslErrors, this, &CHttpClient::OnSslErrors);
}

CHttpClient::~CHttpClient()
{
    m_timer.stop();
    if (m_reply) {
        m_reply->abort();
        delete m_reply.data();
    }
    m_loop.quit();
}

void CHttpClient::SetTimeout(int ms)
{
    m_timeoutMs = ms;
}

void CHttpClient::Get(const QUrl& url, const QString& user, const QString& password)
{
    if (m_reply)
        m_reply->deleteLater();
    m_reply.clear();
    m_user = user;
    m_password = password;
    m_tooLarge = false;

    const QNetworkRequest request = CHttpClient2::BuildRequest(url);
    m_timer.start(m_timeoutMs);
    m_reply = m_manager->get(request);
    QNetworkReply* reply = m_reply.data();
    auto overflow = [this, reply](qint64 bytes) {
        if (bytes > m_maxReplyBytes && !m_tooLarge) {
            m_tooLarge = true;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::downloadProgress, this,
            [overflow](qint64 received, qint64) { overflow(received); });
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, overflow]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            overflow(length.toLongLong());
    });
    if (!reply->isFinished())
        m_loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_timer.stop();
}

void CHttpClient::ReplyHandler(QNetworkReply* reply)
{
    Q_UNUSED(reply)
    m_timer.stop();
    m_loop.quit();
}

CHttpClient::EResult CHttpClient::Result() const
{
    if (!m_reply)
        return eNoReply;
    if (m_tooLarge)
        return eReplyError;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 301 || status == 302)
        return eReplyMoved;
    switch (m_reply->error()) {
    case QNetworkReply::NoError:
        return eReplyOk;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return eReplyTimeout;
    case QNetworkReply::AuthenticationRequiredError:
        return eReplyAuthFail;
    default:
        return eReplyError;
    }
}

QByteArray CHttpClient::ReadBody()
{
    if (!m_reply || !m_reply->isOpen() || m_tooLarge)
        return QByteArray();
    const QByteArray body = m_reply->readAll();
    CHttpResponseLog::Append(QStringLiteral("logHTTPResponse"), m_reply->url(), body);
    return body;
}

QUrl CHttpClient::RedirectUrl() const
{
    if (!m_reply)
        return QUrl();
    return m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
}

void CHttpClient::OnAuthRequired(QNetworkReply* reply, QAuthenticator* authenticator)
{
    if (reply != m_reply)
        return;
    if (authenticator->user() == m_user && authenticator->password() == m_password)
        return;
    authenticator->setUser(m_user);
    authenticator->setPassword(m_password);
}

void CHttpClient::OnSslErrors(QNetworkReply* reply, const QList<QSslError>& errors)
{
    Q_UNUSED(errors)
    reply->ignoreSslErrors();
}
