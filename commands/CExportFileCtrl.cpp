#include "CExportFileCtrl.h"

CExportFileCtrl::CExportFileCtrl(QObject* parent)
    : QObject(parent), m_client(std::make_shared<CHttpClient2>())
{
    connect(m_client.get(), &CHttpClient2::cmdReply, this, &CExportFileCtrl::cameraReplied);
}

CExportFileCtrl::~CExportFileCtrl()
{
    m_client->disconnect(this);
}

QString CExportFileCtrl::ExportKey(const QVariant& context)
{
    return context.toMap().value(QStringLiteral("export_key")).toString();
}

void CExportFileCtrl::Start(const QVariantList& devices, const QVariantList& commands)
{
    m_client->OnTimeout();
    m_devices = devices;
    m_outstanding.clear();
    m_finishedDevices = 0;
    const int perDevice = commands.size();
    // Devices sharing an export key share one counter; it then covers all of their commands, so
    // that the run still knows when every reply is in.
    for (const QVariant& device : devices)
        m_outstanding[ExportKey(device.toMap().value(QStringLiteral("context")))] += perDevice;
    m_client->SetTimeout(m_timeoutMs);
    m_client->SendGetCommands(devices, commands);
}

void CExportFileCtrl::Abort()
{
    m_client->AbortAll();
}

void CExportFileCtrl::cameraReplied(const QVariant& context, CHttpClient2::ENetworkError result,
                                    const QVariant& response)
{
    emit saveFile(context, result, response);
    auto it = m_outstanding.find(ExportKey(context));
    if (it == m_outstanding.end() || it.value() <= 0)
        return;
    if (--it.value() > 0)
        return;
    emit changeStatus(context, result, response);
    ++m_finishedDevices;
    if (m_finishedDevices == m_outstanding.size())
        emit finished();
}
