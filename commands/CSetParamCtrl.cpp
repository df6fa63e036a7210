#include "CSetParamCtrl.h"

CSetParamCtrl::CSetParamCtrl(QObject* parent)
    : QObject(parent), m_client(std::make_shared<CHttpClient2>())
{
    connect(m_client.get(), &CHttpClient2::cmdReply, this, &CSetParamCtrl::cameraReplied);
}

CSetParamCtrl::~CSetParamCtrl()
{
    m_client->disconnect(this);
}

void CSetParamCtrl::Start(const QVariantList& contexts)
{
    // The previous run's outstanding devices report their time-out against that run's
    // bookkeeping before the new list replaces it.
    m_client->OnTimeout();
    m_client->SetTimeout(m_timeoutMs);
    m_replies = 0;
    m_contexts = contexts;
    m_client->SendPost(contexts, m_path);
}

void CSetParamCtrl::Abort()
{
    m_client->AbortAll();
}

void CSetParamCtrl::SetPath(const QString& path)
{
    m_path = path;
}

void CSetParamCtrl::SetTimeout(int ms)
{
    m_timeoutMs = ms;
}

void CSetParamCtrl::cameraReplied(const QVariant& context, CHttpClient2::ENetworkError result,
                                  const QVariant& response)
{
    emit changeStatus(context, result, response);
    ++m_replies;
    if (m_replies == m_contexts.size())
        emit finished();
}
