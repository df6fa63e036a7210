#include "CRestoreDevicesCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CSetParamCtrl.h"

#include <QtDebug>

const QString CRestoreDevicesCtrl::kStatusKey = QStringLiteral("restore");

CRestoreDevicesCtrl::CRestoreDevicesCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_commandRunner(new CSetParamCtrl(this))
{
    connect(m_commandRunner, &CSetParamCtrl::changeStatus, this,
            &CRestoreDevicesCtrl::restoreDeviceResultHandler);
    connect(m_commandRunner, &CSetParamCtrl::finished, this,
            &CRestoreDevicesCtrl::restoreDeviceFinishHandler);
}

CRestoreDevicesCtrl::~CRestoreDevicesCtrl()
{
    m_commandRunner->disconnect(this);
}

QByteArray CRestoreDevicesCtrl::RestoreBody(int mask)
{
    static const char* const items[] = {
        "system_restoreexceptnet=1",        "system_restoreexceptdst=1",
        "system_restoreexceptlang=1",       "system_restoreexceptzapk=1",
        "system_restoreexceptfocusvalue=1", "system_restoreexceptlen=1"};
    if (mask == 0)
        return QByteArrayLiteral("system_restore=1");
    if (mask < 0 || mask > 63) {
        qDebug().nospace() << "CmdRestore: exclude setting invalid, iGroup:" << mask;
        return QByteArray();
    }
    QList<QByteArray> parts;
    for (int bit = 0; bit < 6; ++bit) {
        if (mask & (1 << bit))
            parts.append(items[bit]);
    }
    return parts.join('&');
}

QVariantList CRestoreDevicesCtrl::BuildList(const QByteArray& body)
{
    QVariantList contexts;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = StatusOf(index, kStatusKey);
        if (status == CCorvaneTableStatus::RestorePage_Success ||
            status == CCorvaneTableStatus::RestorePage_Loading)
            continue;
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::RestorePage_Loading);
        QVariantMap context = RowContext(index);
        context.insert(QStringLiteral("data"), body);
        contexts.append(context);
    }
    return contexts;
}

bool CRestoreDevicesCtrl::Start()
{
    if (m_working || !m_model)
        return false;
    const QByteArray body = RestoreBody(m_excludeMask);
    // An empty body restores nothing, yet every device would accept it and the page would
    // report a restore that never happened.
    if (body.isEmpty())
        return false;
    SetWorking(true);
    m_contexts = BuildList(body);
    if (m_contexts.isEmpty()) {
        // Nothing to send (nothing selected, or a retry after every device succeeded): the page
        // reports a refused start rather than a run that did nothing.
        SetWorking(false);
        return false;
    }
    m_commandRunner->SetPath(QStringLiteral("/cgi-bin/admin/setparam.cgi"));
    m_commandRunner->Start(m_contexts);
    return true;
}

void CRestoreDevicesCtrl::Abort()
{
    if (m_working)
        m_commandRunner->Abort();
}

void CRestoreDevicesCtrl::restoreDeviceResultHandler(const QVariant& context,
                                                     CHttpClient2::ENetworkError result,
                                                     const QVariant& response)
{
    Q_UNUSED(response)
    int code = CCorvaneTableStatus::RestorePage_UnknownFail;
    switch (result) {
    case CHttpClient2::eSuccess:
        code = CCorvaneTableStatus::RestorePage_Success;
        break;
    case CHttpClient2::eTimeout:
        code = CCorvaneTableStatus::RestorePage_Timeout;
        break;
    case CHttpClient2::eAuthFail:
        code = CCorvaneTableStatus::RestorePage_AuthFail;
        break;
    default:
        break;
    }
    WriteStatus(IndexFromContext(context), kStatusKey, code);
}

void CRestoreDevicesCtrl::restoreDeviceFinishHandler()
{
    SetWorking(false);
    emit allCmdSent();
}
