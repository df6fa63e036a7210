#include "CGetParamValueCtrl.h"

#include "CHttpClient2.h"
#include "ParamReply.h"
#include "PasswordPolicy.h"

#include <QStringList>

CGetParamValueCtrl::CGetParamValueCtrl(QObject* parent) : QObject(parent) {}

CGetParamValueCtrl::~CGetParamValueCtrl()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CGetParamValueCtrl::start(const CDeviceConnInfo& conn, const ParamRequests& requests)
{
    if (m_running)
        return false;
    if (m_worker.joinable())
        m_worker.join();
    {
        std::lock_guard<std::mutex> lock(m_valuesMutex);
        m_values.clear();
    }
    m_running = true;
    m_worker = std::thread(&CGetParamValueCtrl::work, this, conn, requests);
    return true;
}

QStringList CGetParamValueCtrl::groupNames(const QSet<QString>& parameters)
{
    QSet<QString> groups;
    for (const QString& name : parameters) {
        const int underscore = name.indexOf(QLatin1Char('_'));
        groups.insert(underscore < 0 ? name : name.left(underscore));
    }
    QStringList list(groups.begin(), groups.end());
    list.sort();
    return list;
}

void CGetParamValueCtrl::work(CDeviceConnInfo conn, ParamRequests requests)
{
    int result = NothingRequested;
    for (auto it = requests.cbegin(); it != requests.cend(); ++it) {
        result = request(conn, it.key(), groupNames(it.value()).join(QLatin1Char('&')));
        if (result != Success)
            break;
    }
    if (conn.username == QLatin1String("root")) {
        std::lock_guard<std::mutex> lock(m_valuesMutex);
        m_values.insert(QStringLiteral("security_user_i0_pass"), conn.password);
    }
    if (result == Success) {
        result = request(conn, QStringLiteral("/cgi-bin/admin/getparam.cgi"),
                         QStringLiteral("capability&zapk_module"));
        readPasswordPolicy(conn, false);
    }
    // Cleared before the signal so that an owner reacting to it can start the next read.
    m_running = false;
    emit jobFinished(result);
}

int CGetParamValueCtrl::request(const CDeviceConnInfo& conn, const QString& path,
                                const QString& query)
{
    QUrl url = CHttpClient2::BuildUrl(conn.ToContext(), path, {});
    url.setQuery(query, QUrl::TolerantMode);
    CHttpClient client;
    client.SetTimeout(kRequestTimeoutMs);
    client.Get(url, conn.username, conn.password);
    return mapResult(client, 1, conn);
}

int CGetParamValueCtrl::mapResult(CHttpClient& client, int redirectsLeft,
                                  const CDeviceConnInfo& conn)
{
    switch (client.Result()) {
    case CHttpClient::eReplyOk:
        store(client.ReadBody());
        return Success;
    case CHttpClient::eReplyAuthFail:
        return AuthFail;
    case CHttpClient::eReplyTimeout:
        return Timeout;
    case CHttpClient::eReplyMoved: {
        const QUrl target = client.RedirectUrl();
        if (redirectsLeft <= 0 || !target.isValid())
            return NoUsableAnswer;
        CHttpClient next;
        next.SetTimeout(kRequestTimeoutMs);
        next.Get(target, conn.username, conn.password);
        return mapResult(next, redirectsLeft - 1, conn);
    }
    default:
        return NoUsableAnswer;
    }
}

void CGetParamValueCtrl::store(const QByteArray& body)
{
    const ParamPairs pairs = parseParamPairs(body);
    std::lock_guard<std::mutex> lock(m_valuesMutex);
    for (const auto& pair : pairs)
        m_values.insert(pair.first, pair.second);
}

int CGetParamValueCtrl::readPasswordPolicy(const CDeviceConnInfo& conn, bool factoryMode)
{
    const QString path = factoryMode ? QStringLiteral("/factorymode/cgi-bin/admin/getparam.cgi")
                                     : QStringLiteral("/cgi-bin/admin/getparam.cgi");
    return request(conn, path,
                   QStringLiteral("layout_defaultpassword_type&layout_defaultpassword_length&"
                                  "layout_defaultpassword_specialcharacter"));
}

QMap<QString, QString> CGetParamValueCtrl::values() const
{
    std::lock_guard<std::mutex> lock(m_valuesMutex);
    return m_values;
}

int CGetParamValueCtrl::digitalInputCount() const
{
    return values().value(QStringLiteral("capability_ndi")).toInt();
}

int CGetParamValueCtrl::digitalOutputCount() const
{
    return values().value(QStringLiteral("capability_ndo")).toInt();
}

bool CGetParamValueCtrl::supportSmartStream() const
{
    return values().value(QStringLiteral("capability_smartstream_support")) == QLatin1String("1");
}

QVariantMap CGetParamValueCtrl::passwordPolicyRule() const
{
    return ::passwordPolicyRule(values());
}
