#include "CRebootDevicesCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CGetParamCtrl.h"
#include "CSetParamCtrl.h"
#include "Settings.h"

const QString CRebootDevicesCtrl::kStatusKey = QStringLiteral("restart");

CRebootDevicesCtrl::CRebootDevicesCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_commandRunner(new CSetParamCtrl(this)),
      m_verifyRunner(new CGetParamCtrl(this))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CRebootDevicesCtrl::OnVerifyTimer);
    connect(m_commandRunner, &CSetParamCtrl::changeStatus, this,
            &CRebootDevicesCtrl::rebootResultHandler);
    connect(m_commandRunner, &CSetParamCtrl::finished, this,
            &CRebootDevicesCtrl::rebootFinishedHandler);
    connect(m_verifyRunner, &CGetParamCtrl::changeStatus, this,
            &CRebootDevicesCtrl::verifyResultHandler);
    connect(m_verifyRunner, &CGetParamCtrl::finished, this,
            &CRebootDevicesCtrl::verifyFinishedHandler);
}

CRebootDevicesCtrl::~CRebootDevicesCtrl()
{
    m_timer.stop();
    m_commandRunner->disconnect(this);
    m_verifyRunner->disconnect(this);
}

QVariantList CRebootDevicesCtrl::BuildList()
{
    QVariantList contexts;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = StatusOf(index, kStatusKey);
        if (status == CCorvaneTableStatus::RebootPage_Success ||
            status == CCorvaneTableStatus::RebootPage_Loading ||
            status == CCorvaneTableStatus::RebootPage_Rebooting)
            continue;
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::RebootPage_Loading);
        QVariantMap context = RowContext(index);
        context.insert(QStringLiteral("data"), QByteArrayLiteral("system_reset=1"));
        contexts.append(context);
    }
    return contexts;
}

bool CRebootDevicesCtrl::Start()
{
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_aborting = false;
    m_passes = 0;
    m_contexts = BuildList();
    if (m_contexts.isEmpty()) {
        // Nothing to send (nothing selected, or a retry after every device succeeded): the page
        // reports a refused start rather than a run that did nothing.
        SetWorking(false);
        return false;
    }
    m_commandRunner->SetPath(QStringLiteral("/cgi-bin/admin/setparam.cgi"));
    m_commandRunner->SetTimeout(
        readSettingsValue(QStringLiteral("restartTimeoutMs"), 30000).toInt());
    m_commandRunner->Start(m_contexts);
    return true;
}

void CRebootDevicesCtrl::Abort()
{
    if (!m_working)
        return;
    m_aborting = true;
    m_commandRunner->Abort();
    m_verifyRunner->Abort();
    // Between two polling passes nothing is in flight: the run ends here.
    if (m_working && m_timer.isActive()) {
        m_timer.stop();
        GiveUpRebooting();
        Finish();
    }
}

void CRebootDevicesCtrl::rebootResultHandler(const QVariant& context,
                                             CHttpClient2::ENetworkError result,
                                             const QVariant& response)
{
    Q_UNUSED(response)
    int code = CCorvaneTableStatus::RebootPage_UnknownFail;
    switch (result) {
    case CHttpClient2::eSuccess:
        code = CCorvaneTableStatus::RebootPage_Rebooting;
        break;
    case CHttpClient2::eTimeout:
        code = CCorvaneTableStatus::RebootPage_Timeout;
        break;
    case CHttpClient2::eAuthFail:
        code = CCorvaneTableStatus::RebootPage_AuthFail;
        break;
    default:
        break;
    }
    WriteStatus(IndexFromContext(context), kStatusKey, code);
}

void CRebootDevicesCtrl::rebootFinishedHandler()
{
    m_passes = 0;
    if (m_aborting) {
        GiveUpRebooting();
        Finish();
        return;
    }
    if (!AnyRebooting()) {
        Finish();
        return;
    }
    m_timer.start(readSettingsValue(QStringLiteral("verifyRestartSleepMs"), 10000).toInt());
}

void CRebootDevicesCtrl::OnVerifyTimer()
{
    const QVariantList contexts = ContextsStillRebooting();
    if (contexts.isEmpty()) {
        Finish();
        return;
    }
    m_verifyRunner->SetPath(QStringLiteral("/cgi-bin/admin/getparam.cgi"));
    m_verifyRunner->SetParameters({QStringLiteral("system_info_firmwareversion")});
    m_verifyRunner->SetTimeout(
        readSettingsValue(QStringLiteral("verifyRestartTimeoutMS"), 30000).toInt());
    m_verifyRunner->Start(contexts);
}

void CRebootDevicesCtrl::verifyResultHandler(const QVariant& context,
                                             CHttpClient2::ENetworkError result,
                                             const QVariant& response)
{
    Q_UNUSED(response)
    if (result != CHttpClient2::eSuccess)
        return;
    const QModelIndex index = IndexFromContext(context);
    if (StatusOf(index, kStatusKey) == CCorvaneTableStatus::RebootPage_Rebooting)
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::RebootPage_Success);
}

void CRebootDevicesCtrl::verifyFinishedHandler()
{
    ++m_passes;
    if (!AnyRebooting()) {
        Finish();
        return;
    }
    const int retries = readSettingsValue(QStringLiteral("verifyRestartRetryTimes"), 20).toInt();
    if (!m_aborting && m_passes < retries) {
        m_timer.start(readSettingsValue(QStringLiteral("verifyRestartSleepMs"), 10000).toInt());
        return;
    }
    GiveUpRebooting();
    Finish();
}

QVariantList CRebootDevicesCtrl::ContextsStillRebooting() const
{
    // Only devices still on their way back are asked; a reply from any other row would change
    // nothing.
    QVariantList contexts;
    for (const QVariant& value : m_contexts) {
        const QModelIndex index = IndexFromContext(value.toMap().value(QStringLiteral("context")));
        if (StatusOf(index, kStatusKey) == CCorvaneTableStatus::RebootPage_Rebooting)
            contexts.append(value);
    }
    return contexts;
}

bool CRebootDevicesCtrl::AnyRebooting() const
{
    if (!m_model)
        return false;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (StatusOf(m_model->index(row, 0), kStatusKey) ==
            CCorvaneTableStatus::RebootPage_Rebooting)
            return true;
    }
    return false;
}

void CRebootDevicesCtrl::GiveUpRebooting()
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (StatusOf(index, kStatusKey) == CCorvaneTableStatus::RebootPage_Rebooting)
            WriteStatus(index, kStatusKey, CCorvaneTableStatus::RebootPage_Timeout);
    }
}

void CRebootDevicesCtrl::Finish()
{
    if (!m_working)
        return;
    m_timer.stop();
    SetWorking(false);
    emit jobFinished();
}
