#include "CUploadFileCtrl.h"

CUploadFileCtrl::CUploadFileCtrl(QObject* parent)
    : QObject(parent), m_client(std::make_shared<CHttpClient2>())
{
    connect(m_client.get(), &CHttpClient2::cmdReply, this, &CUploadFileCtrl::OnReply);
}

CUploadFileCtrl::~CUploadFileCtrl()
{
    m_client->disconnect(this);
}

void CUploadFileCtrl::Start(const QVariantList& contexts)
{
    m_client->OnTimeout();
    if (contexts.isEmpty()) {
        m_contexts.clear();
        m_probing = false;
        emit finished();
        return;
    }
    m_client->SetTimeout(m_timeoutMs);
    m_replies = 0;
    m_contexts = contexts;
    m_probing = true;
    m_client->SendGet(contexts, QStringLiteral("/cgi-bin/admin/getparam.cgi"),
                      {QStringLiteral("system_info_firmwareversion")});
}

void CUploadFileCtrl::Abort()
{
    m_client->AbortAll();
}

void CUploadFileCtrl::SetPartName(const QString& name)
{
    m_partName = name;
}

void CUploadFileCtrl::SetPath(const QString& path)
{
    m_path = path;
}

void CUploadFileCtrl::SetTimeout(int ms)
{
    m_timeoutMs = ms;
}

void CUploadFileCtrl::OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                              const QVariant& response)
{
    ++m_replies;
    if (m_probing) {
        // The probe only wakes the devices; every device gets its upload whatever it answered.
        if (m_replies == m_contexts.size()) {
            m_probing = false;
            m_replies = 0;
            m_client->SendUpload(m_contexts, m_path, m_partName);
        }
        return;
    }
    const bool checksBody =
        m_path.contains(QLatin1String("/Stereo-Counting/cgi-bin/upload_file.cgi")) ||
        m_path.contains(QLatin1String("/VCA/cgi-bin/upload_file.cgi"));
    if (checksBody && response.toMap()
                          .value(QStringLiteral("message"))
                          .toByteArray()
                          .contains("Upgrade configuration file failed"))
        result = CHttpClient2::eFail;
    emit changeStatus(context, result, response);
    if (m_replies == m_contexts.size())
        emit finished();
}
