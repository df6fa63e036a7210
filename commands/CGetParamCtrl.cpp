#include "CGetParamCtrl.h"

CGetParamCtrl::CGetParamCtrl(QObject* parent)
    : QObject(parent), m_client(std::make_shared<CHttpClient2>())
{
    connect(m_client.get(), &CHttpClient2::cmdReply, this, &CGetParamCtrl::OnReply);
}

CGetParamCtrl::~CGetParamCtrl()
{
    m_client->disconnect(this);
}

void CGetParamCtrl::Begin(const QVariantList& contexts)
{
    // Settle the previous run first so that its late time-outs are not counted in this one.
    m_client->OnTimeout();
    m_client->SetTimeout(m_timeoutMs);
    m_replies = 0;
    m_contexts = contexts;
}

void CGetParamCtrl::Start(const QVariantList& contexts)
{
    Begin(contexts);
    m_client->SendGet(contexts, m_path, m_parameters);
}

void CGetParamCtrl::StartEach(const QVariantList& contexts)
{
    Begin(contexts);
    m_client->SendGetRequests(contexts);
}

void CGetParamCtrl::Abort()
{
    m_client->AbortAll();
}

void CGetParamCtrl::SetPath(const QString& path)
{
    m_path = path;
}

void CGetParamCtrl::SetParameters(const QStringList& parameters)
{
    m_parameters = parameters;
}

void CGetParamCtrl::SetTimeout(int ms)
{
    m_timeoutMs = ms;
}

void CGetParamCtrl::OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                            const QVariant& response)
{
    emit changeStatus(context, result, response);
    ++m_replies;
    if (m_replies == m_contexts.size())
        emit finished();
}
