#include "CHttpClient2.h"

#include "CHttpResponseLog.h"

#include <QAuthenticator>
#include <QElapsedTimer>
#include <QFile>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>

#include <memory>
#include <utility>

namespace {

const char* const kLogKey = "LogHTTPResponse";
const QByteArray kBoundary("--------------------------");

bool isRedirect(int status)
{
    return status == 301 || status == 302;
}

} // namespace

CHttpClient2::CHttpClient2(QObject* parent) : QObject(parent)
{
    // Each access manager serves its HTTP traffic from one thread, and an authentication
    // challenge holds that thread until the user-interface thread has answered it. With every
    // device asking for credentials, one manager would serialize a whole batch; a few managers,
    // each keeping its devices, let the challenges of many devices be answered at once.
    for (int i = 0; i < kManagers; ++i)
        m_managers.append(CreateManager());
    qRegisterMetaType<CHttpClient2::ENetworkError>("CHttpClient2::ENetworkError");
    qRegisterMetaType<QHttpPart>("QHttpPart");
    qRegisterMetaType<QNetworkReply*>("QNetworkReply*");
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CHttpClient2::OnTimeout);
    m_issueTimer.setSingleShot(true);
    m_issueTimer.setInterval(0);
    connect(&m_issueTimer, &QTimer::timeout, this, &CHttpClient2::IssueSome);
}

CHttpClient2::~CHttpClient2()
{
    // The owner is being torn down: nobody may be told about the aborted requests any more, since
    // the receivers may already be half destroyed.
    blockSignals(true);
    AbortAll();
    m_pending.clear();
}

QUrl CHttpClient2::BuildUrl(const QVariantMap& context, const QString& path,
                            const QStringList& parameters)
{
    const quint16 httpsPort =
        static_cast<quint16>(context.value(QStringLiteral("httpsPort")).toUInt());
    const quint16 httpPort =
        static_cast<quint16>(context.value(QStringLiteral("httpPort")).toUInt());
    QUrl url;
    if (httpPort != 0) {
        url.setScheme(QStringLiteral("http"));
        url.setPort(httpPort);
    } else {
        url.setScheme(QStringLiteral("https"));
        url.setPort(httpsPort);
    }
    url.setHost(context.value(QStringLiteral("ip")).toString(), QUrl::DecodedMode);
    url.setPath(path, QUrl::TolerantMode);
    if (!parameters.isEmpty())
        url.setQuery(parameters.join(QLatin1Char('&')), QUrl::TolerantMode);
    return url;
}

QNetworkRequest CHttpClient2::BuildRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("User-Agent", "Corvane");
    const QString referer = url.scheme() + QStringLiteral("://") + url.host() + QLatin1Char(':') +
                            QString::number(url.port()) + QLatin1Char('/');
    request.setRawHeader("Referer", referer.toUtf8());
    return request;
}

QNetworkAccessManager* CHttpClient2::ManagerFor(const QUrl& url) const
{
    // A device always goes through the same manager, which keeps its connections and
    // credentials.
    const uint key = qHash(url.host()) ^ static_cast<uint>(url.port());
    return m_managers.at(static_cast<int>(key % static_cast<uint>(m_managers.size())));
}

void CHttpClient2::StartBatch()
{
    OnTimeout();
    m_timer.start(m_timeoutMs);
}

void CHttpClient2::Track(QNetworkReply* reply, Pending entry, bool announce)
{
    m_pending.insert(reply, std::move(entry));
    WatchSize(reply);
    if (announce)
        emit cmdSent(reply);
}

void CHttpClient2::WatchSize(QNetworkReply* reply)
{
    auto overflow = [this, reply](qint64 bytes) {
        if (bytes <= m_maxReplyBytes)
            return;
        auto it = m_pending.find(reply);
        if (it == m_pending.end() || it->tooLarge)
            return;
        it->tooLarge = true;
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, overflow]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            overflow(length.toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [overflow](qint64 received, qint64) { overflow(received); });
}

void CHttpClient2::SendOneGet(const QVariantMap& context, const QString& path,
                              const QStringList& parameters)
{
    const QNetworkRequest request = BuildRequest(BuildUrl(context, path, parameters));
    Pending entry;
    entry.username = context.value(QStringLiteral("username")).toString();
    entry.password = context.value(QStringLiteral("password")).toString();
    entry.context = context.value(QStringLiteral("context"));
    Track(ManagerFor(request.url())->get(request), std::move(entry), true);
}

void CHttpClient2::SendGetCommands(const QVariantList& devices, const QVariantList& commands)
{
    StartBatch();
    for (const QVariant& command : commands) {
        const QVariantMap item = command.toMap();
        const QString path = item.value(QStringLiteral("getPath")).toString();
        const QStringList parameters = item.value(QStringLiteral("parameters")).toStringList();
        for (const QVariant& device : devices) {
            const QVariantMap context = device.toMap();
            Enqueue(context,
                    [this, context, path, parameters]() { SendOneGet(context, path, parameters); });
        }
    }
    IssueSome();
}

void CHttpClient2::SendGetRequests(const QVariantList& contexts)
{
    StartBatch();
    for (const QVariant& value : contexts) {
        const QVariantMap context = value.toMap();
        Enqueue(context, [this, context]() {
            SendOneGet(context, context.value(QStringLiteral("getPath")).toString(),
                       context.value(QStringLiteral("parameters")).toStringList());
        });
    }
    IssueSome();
}

void CHttpClient2::SendGet(const QVariantList& contexts, const QString& path,
                           const QStringList& parameters)
{
    StartBatch();
    for (const QVariant& value : contexts) {
        const QVariantMap context = value.toMap();
        Enqueue(context,
                [this, context, path, parameters]() { SendOneGet(context, path, parameters); });
    }
    IssueSome();
}

void CHttpClient2::SendUpload(const QVariantList& contexts, const QString& path,
                              const QString& partName)
{
    StartBatch();
    for (const QVariant& value : contexts) {
        const QVariantMap context = value.toMap();
        Enqueue(context,
                [this, context, path, partName]() { IssueUpload(context, path, partName); });
    }
    IssueSome();
}

void CHttpClient2::IssueUpload(const QVariantMap& context, const QString& path,
                               const QString& partName)
{
    {
        const QString filePath = context.value(QStringLiteral("filePath")).toString();
        auto* file = new QFile(filePath);
        if (!file->open(QIODevice::ReadOnly)) {
            CHttpResponseLog::Append(QLatin1String(kLogKey), QUrl(),
                                     "Upload file error: " + file->errorString().toUtf8());
            delete file;
            emit cmdReply(context.value(QStringLiteral("context")), eCannotOpenFile, QVariant());
            return;
        }
        QString fileName = context.value(QStringLiteral("fileName")).toString();
        if (fileName.isEmpty())
            fileName = filePath;

        auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        multiPart->setBoundary(kBoundary);
        QHttpPart filePart;
        filePart.setHeader(QNetworkRequest::ContentTypeHeader,
                           QStringLiteral("application/octet-stream"));
        filePart.setHeader(
            QNetworkRequest::ContentDispositionHeader,
            QStringLiteral("form-data; name=\"%1\"; filename=\"%2\"").arg(partName, fileName));
        // The part reads the file as the request goes out, so large firmware images are never
        // held in memory.
        filePart.setBodyDevice(file);
        file->setParent(multiPart);
        QList<QHttpPart> parts{filePart};
        const QVariantList extraParts = context.value(QStringLiteral("httpPart")).toList();
        for (const QVariant& part : extraParts) {
            if (part.canConvert<QHttpPart>())
                parts.append(part.value<QHttpPart>());
        }
        for (const QHttpPart& part : qAsConst(parts))
            multiPart->append(part);

        QNetworkRequest request = BuildRequest(
            BuildUrl(context, path, context.value(QStringLiteral("parameters")).toStringList()));
        request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + kBoundary);
        QNetworkReply* reply = ManagerFor(request.url())->post(request, multiPart);
        multiPart->setParent(reply);

        Pending entry;
        entry.username = context.value(QStringLiteral("username")).toString();
        entry.password = context.value(QStringLiteral("password")).toString();
        entry.context = context.value(QStringLiteral("context"));
        entry.multiPart = multiPart;
        entry.parts = parts;
        entry.file = file;
        Track(reply, std::move(entry), true);
    }
}

void CHttpClient2::SendPost(const QVariantList& contexts, const QString& path)
{
    StartBatch();
    for (const QVariant& value : contexts) {
        const QVariantMap context = value.toMap();
        Enqueue(context, [this, context, path]() { IssuePost(context, path); });
    }
    IssueSome();
}

void CHttpClient2::IssuePost(const QVariantMap& context, const QString& path)
{
    QNetworkRequest request = BuildRequest(BuildUrl(context, path, QStringList()));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    Pending entry;
    entry.username = context.value(QStringLiteral("username")).toString();
    entry.password = context.value(QStringLiteral("password")).toString();
    entry.context = context.value(QStringLiteral("context"));
    entry.data = context.value(QStringLiteral("data")).toByteArray();
    entry.hasData = true;
    QNetworkReply* reply = ManagerFor(request.url())->post(request, entry.data);
    Track(reply, std::move(entry), true);
}

void CHttpClient2::Enqueue(const QVariantMap& context, std::function<void()> issue)
{
    m_queue.append({context.value(QStringLiteral("context")), std::move(issue)});
}

void CHttpClient2::IssueSome()
{
    // A batch of a thousand devices is issued in slices, one per turn of the event loop, so that
    // creating the requests never holds the user interface up for long. Each request costs the
    // user-interface thread about as much again when the access manager hands it to its network
    // thread in the next turn, so a slice is bounded by time as well as by count.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kIssueSlice && !m_queue.isEmpty(); ++i) {
        const Queued item = m_queue.takeFirst();
        item.issue();
        if (clock.nsecsElapsed() >= kIssueSliceNs)
            break;
    }
    if (!m_queue.isEmpty() && !m_issueTimer.isActive())
        m_issueTimer.start();
}

void CHttpClient2::SendPostDevice(const QVariantMap& context, const QString& path, QIODevice* body)
{
    // Requests added one by one still need a time limit, or a silent device would keep its
    // run open for ever; the batch timer starts with the first of them.
    if ((m_pending.isEmpty() && m_queue.isEmpty()) || !m_timer.isActive())
        m_timer.start(m_timeoutMs);
    // Issued in slices like every batch: a thousand cameras' bodies would otherwise hold the user
    // interface up while the access managers take them. A body still queued when the batch is
    // given up goes with its queue entry.
    struct BodyGuard
    {
        QPointer<QIODevice> body;
        ~BodyGuard()
        {
            if (body && !body->parent())
                delete body;
        }
    };
    auto guard = std::make_shared<BodyGuard>();
    guard->body = body;
    Enqueue(context,
            [this, context, path, guard]() { IssuePostDevice(context, path, guard->body); });
    // The caller adds the bodies one by one: the slices start with the next turn of the loop.
    if (!m_issueTimer.isActive())
        m_issueTimer.start();
}

void CHttpClient2::IssuePostDevice(const QVariantMap& context, const QString& path, QIODevice* body)
{
    QNetworkRequest request = BuildRequest(BuildUrl(context, path, QStringList()));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    if (body && body->isOpen() && !body->isSequential())
        body->seek(0);
    QNetworkReply* reply = ManagerFor(request.url())->post(request, body);
    if (body)
        body->setParent(reply);
    Pending entry;
    entry.username = context.value(QStringLiteral("username")).toString();
    entry.password = context.value(QStringLiteral("password")).toString();
    entry.context = context.value(QStringLiteral("context"));
    entry.ioDevice = body;
    Track(reply, std::move(entry), true);
}

void CHttpClient2::SetTimeout(int ms)
{
    m_timeoutMs = ms;
}

void CHttpClient2::AbortAll()
{
    // Each abort finishes its reply at once and re-enters ReplyHandler, which may start a new
    // batch from a listener; only replies still pending are touched.
    const QList<QNetworkReply*> replies = m_pending.keys();
    for (QNetworkReply* reply : replies) {
        if (m_pending.contains(reply))
            reply->abort();
    }
    // Requests not yet issued are outstanding too.
    const QList<Queued> queued = std::exchange(m_queue, {});
    m_issueTimer.stop();
    for (const Queued& item : queued)
        emit cmdReply(item.tag, eTimeout, QVariant());
}

QNetworkAccessManager* CHttpClient2::CreateManager()
{
    auto* manager = new QNetworkAccessManager(this);
    connect(manager, &QNetworkAccessManager::finished, this, &CHttpClient2::ReplyHandler);
    connect(manager, &QNetworkAccessManager::authenticationRequired, this,
            &CHttpClient2::OnAuthRequired);
    connect(manager, &QNetworkAccessManager::sslErrors, this, &CHttpClient2::OnSslErrors);
    return manager;
}

void CHttpClient2::ClearAccessCache()
{
    // QNetworkAccessManager::clearAccessCache stops the manager's HTTP thread and waits up to
    // five seconds for it; a thread still waiting for this thread to answer a challenge can
    // only end when that wait gives up, so the user interface froze for seconds per manager.
    // Fresh managers start with no connections and no credentials, which is what clearing
    // is for; the old ones are taken down on a thread of their own, where waiting harms no one.
    QVector<QNetworkAccessManager*> retired;
    for (QNetworkAccessManager*& manager : m_managers)
        retired.append(std::exchange(manager, CreateManager()));
    // A reply still pending on an old manager goes down with it: its device gets its one answer
    // now, as at a time-out (after the bookkeeping, since a listener may send again).
    QVariantList orphaned;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (!retired.contains(it.key()->manager())) {
            ++it;
            continue;
        }
        orphaned.append(it->context);
        it.key()->disconnect(this);
        it = m_pending.erase(it);
    }
    for (QNetworkAccessManager* old : qAsConst(retired)) {
        old->disconnect(this);
        RetireManager(old);
    }
    for (const QVariant& context : qAsConst(orphaned))
        emit cmdReply(context, eTimeout, QVariant());
}

void CHttpClient2::RetireManager(QNetworkAccessManager* manager)
{
    manager->setParent(nullptr);
    // The clear may come from a listener of this very manager's last reply: it leaves this
    // thread only once that emission has unwound.
    QTimer::singleShot(0, manager, [manager] {
        auto* undertaker = new QThread;
        manager->moveToThread(undertaker);
        connect(undertaker, &QThread::started, manager, &QObject::deleteLater);
        connect(manager, &QObject::destroyed, undertaker, &QThread::quit, Qt::DirectConnection);
        connect(undertaker, &QThread::finished, undertaker, &QObject::deleteLater);
        undertaker->start();
    });
}

void CHttpClient2::OnTimeout()
{
    AbortAll();
    // A reply that could not be aborted any more is forgotten, but its device is still owed its
    // one answer.
    const QHash<QNetworkReply*, Pending> left = std::exchange(m_pending, {});
    for (auto it = left.begin(); it != left.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->deleteLater();
        emit cmdReply(it->context, eTimeout, QVariant());
    }
}

void CHttpClient2::ReplyHandler(QNetworkReply* reply)
{
    auto it = m_pending.find(reply);
    if (it == m_pending.end()) {
        CHttpResponseLog::Append(QLatin1String(kLogKey), QUrl(), "Invalid reply");
        return;
    }
    Pending entry = std::move(it.value());
    m_pending.erase(it);
    reply->disconnect(this);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!entry.tooLarge && isRedirect(status)) {
        HandleRedirect(reply, std::move(entry));
        reply->deleteLater();
        return;
    }

    ENetworkError result = eSuccess;
    QByteArray body;
    if (entry.tooLarge) {
        // What arrived is dropped unread: the reply is not a legitimate answer of any CGI.
        result = eNetworkError;
    } else {
        if (reply->isOpen())
            body = reply->readAll();
        switch (reply->error()) {
        case QNetworkReply::NoError:
            result = eSuccess;
            break;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            result = eTimeout;
            break;
        case QNetworkReply::AuthenticationRequiredError:
            result = eAuthFail;
            break;
        default:
            result = status == 404 ? eUnsupported : eNetworkError;
            break;
        }
    }
    QVariantMap response;
    response.insert(QStringLiteral("message"), body);
    response.insert(QStringLiteral("content_disposition"),
                    QString::fromUtf8(reply->rawHeader("Content-Disposition")));
    const QUrl url = reply->url();
    reply->deleteLater();
    emit cmdReply(entry.context, result, response);
    CHttpResponseLog::Append(QLatin1String(kLogKey), url, body);
}

void CHttpClient2::HandleRedirect(QNetworkReply* reply, Pending entry)
{
    if (entry.hasRedirect) {
        emit cmdReply(entry.context, eMoved, QVariant());
        return;
    }
    entry.hasRedirect = true;
    const QUrl target = reply->url().resolved(
        reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (target.toString().contains(QLatin1String("factorymode/configure_password"))) {
        emit cmdReply(entry.context, eNeedToSetPassword, QVariant());
        return;
    }

    QNetworkRequest request = reply->request();
    request.setUrl(target);
    QNetworkReply* next = nullptr;
    if (reply->operation() != QNetworkAccessManager::PostOperation) {
        next = ManagerFor(target)->get(request);
    } else if (entry.multiPart) {
        // A multipart body that went out once cannot be rewound from outside, so the same parts
        // are posted again in a fresh body, the file read from its start.
        auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        multiPart->setBoundary(kBoundary);
        for (const QHttpPart& part : qAsConst(entry.parts))
            multiPart->append(part);
        if (entry.file) {
            entry.file->seek(0);
            entry.file->setParent(multiPart);
        }
        next = ManagerFor(target)->post(request, multiPart);
        multiPart->setParent(next);
        entry.multiPart = multiPart;
    } else if (entry.hasData) {
        next = ManagerFor(target)->post(request, entry.data);
    } else {
        QIODevice* body = entry.ioDevice.data();
        if (body && body->isOpen() && !body->isSequential())
            body->seek(0);
        next = ManagerFor(target)->post(request, body);
        if (body)
            body->setParent(next);
    }
    Track(next, std::move(entry), false);
}

void CHttpClient2::OnAuthRequired(QNetworkReply* reply, QAuthenticator* authenticator)
{
    auto it = m_pending.constFind(reply);
    if (it == m_pending.constEnd())
        return;
    // Offering the same credentials again would loop; leaving them unchanged makes the access
    // manager give up with an authentication error.
    if (authenticator->user() == it->username && authenticator->password() == it->password)
        return;
    authenticator->setUser(it->username);
    authenticator->setPassword(it->password);
}

void CHttpClient2::OnSslErrors(QNetworkReply* reply, const QList<QSslError>& errors)
{
    Q_UNUSED(errors)
    reply->ignoreSslErrors();
}
