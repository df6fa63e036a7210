#include "CAssignIpCtrl.h"

#include "CDeviceInfo.h"
#include "CSetDevicesCtrl.h"
#include "CSetParamCtrl.h"
#include "DeviceSearchRunner.h"
#include "Settings.h"

#include <QAbstractItemModel>
#include <QMutexLocker>

namespace {
const QString kSetParamPath = QStringLiteral("/cgi-bin/admin/setparam.cgi");
}

CAssignIpCtrl::CAssignIpCtrl(QObject* parent)
    : QObject(parent), m_assignRunner(new CSetParamCtrl(this)),
      m_restartRunner(new CSetParamCtrl(this)), m_verifyRunner(new DeviceSearchRunner(this))
{
    m_assignRunner->SetPath(kSetParamPath);
    m_restartRunner->SetPath(kSetParamPath);
    connect(m_assignRunner, &CSetParamCtrl::changeStatus, this,
            &CAssignIpCtrl::assignIpStatusChanged);
    connect(m_assignRunner, &CSetParamCtrl::finished, this, &CAssignIpCtrl::setParamFinished);
    connect(m_restartRunner, &CSetParamCtrl::finished, this, &CAssignIpCtrl::assignIpFinished);
    // Emitted on the verification thread; queued to this object's thread.
    connect(m_verifyRunner, &DeviceSearchRunner::allVerified, this, &CAssignIpCtrl::OnVerified);
    m_verifyRunner->setMutex(&m_mutex);
}

CAssignIpCtrl::~CAssignIpCtrl()
{
    m_assignRunner->disconnect(this);
    m_restartRunner->disconnect(this);
    m_verifyRunner->disconnect(this);
    m_verifyRunner->requestStop();
    m_verifyRunner->wait();
}

void CAssignIpCtrl::SetModel(QAbstractItemModel* model)
{
    m_model = model;
    m_verifyRunner->setModel(model);
}

bool CAssignIpCtrl::IsVerifying() const
{
    return m_verifyRunner->isRunning();
}

void CAssignIpCtrl::SetVerifyRange(bool ranged, const QString& first, const QString& last,
                                   int seconds)
{
    m_verifyRunner->setRange(ranged, first, last, seconds);
}

int CAssignIpCtrl::StatusOf(const QModelIndex& index)
{
    const QVariant value = index.data(CDeviceInfo::statusRole);
    bool ok = false;
    const int status = value.toInt(&ok);
    return ok ? status : Nothing;
}

bool CAssignIpCtrl::TakesPart(int status) const
{
    if (status == Loading || status == Skipped)
        return false;
    return !(m_onlyFailed && status == Success);
}

QList<QPersistentModelIndex> CAssignIpCtrl::ViewRows() const
{
    QList<QPersistentModelIndex> rows;
    if (!m_model)
        return rows;
    for (int row = 0; row < m_model->rowCount(); ++row)
        rows << QPersistentModelIndex(m_model->index(row, 0));
    return rows;
}

void CAssignIpCtrl::WriteStatus(const QModelIndex& index, int status)
{
    if (index.isValid() && m_model && index.model() == m_model)
        m_model->setData(index, status, CDeviceInfo::statusRole);
}

bool CAssignIpCtrl::Start()
{
    if (!m_model || m_working || IsVerifying())
        return false;
    m_working = true;
    m_aborting = false;
    StartRun();
    return true;
}

QVariantList CAssignIpCtrl::BuildList()
{
    QMutexLocker locker(&m_mutex);
    QVariantList contexts;
    // Rows are collected first: writing a status may move rows of a view sorted by status.
    for (const QPersistentModelIndex& index : ViewRows()) {
        if (!index.isValid() || !TakesPart(StatusOf(index)))
            continue;
        WriteStatus(index, Loading);
        contexts << CSetDevicesCtrl::RowContext(index);
    }
    return contexts;
}

void CAssignIpCtrl::RunList(const QVariantList& contexts)
{
    m_contexts = contexts;
    QList<QVariantMap> maps;
    for (const QVariant& context : contexts)
        maps << context.toMap();
    m_verifyRunner->setContexts(maps);
    if (contexts.isEmpty()) {
        // Nothing to send (every row settled already): the run is over at once, but after the
        // caller has seen Start() succeed.
        QMetaObject::invokeMethod(this, &CAssignIpCtrl::OnVerified, Qt::QueuedConnection);
        return;
    }
    m_assignRunner->SetTimeout(
        readSettingsValue(QStringLiteral("assignDeviceIPTimeoutMS"), 30000).toInt());
    m_assignRunner->Start(contexts);
}

void CAssignIpCtrl::assignIpStatusChanged(const QVariant& context,
                                          CHttpClient2::ENetworkError result,
                                          const QVariant& response)
{
    Q_UNUSED(response)
    int status = UnknownFail;
    switch (result) {
    case CHttpClient2::eSuccess:
        status = Verifying;
        break;
    case CHttpClient2::eFail:
    case CHttpClient2::eMoved:
    case CHttpClient2::eNetworkError:
        status = ConnFail;
        break;
    case CHttpClient2::eTimeout:
        status = Timeout;
        break;
    case CHttpClient2::eAuthFail:
        status = AuthFail;
        break;
    default:
        break;
    }
    QMutexLocker locker(&m_mutex);
    WriteStatus(CSetDevicesCtrl::IndexFromContext(context), status);
}

void CAssignIpCtrl::setParamFinished()
{
    if (m_aborting || !m_working)
        return;
    QVariantList restarts;
    for (const QVariant& value : qAsConst(m_contexts)) {
        QVariantMap context = value.toMap();
        context.insert(QStringLiteral("data"), QByteArrayLiteral("system_reset=1"));
        restarts << context;
    }
    m_restartRunner->SetTimeout(
        readSettingsValue(QStringLiteral("restartTimeoutMs"), 30000).toInt());
    m_restartRunner->Start(restarts);
}

void CAssignIpCtrl::assignIpFinished()
{
    if (m_aborting || !m_working)
        return;
    m_verifyRunner->start();
}

void CAssignIpCtrl::OnVerified()
{
    // The signal is the thread's last act; once it has returned, the next run may start at once.
    m_verifyRunner->wait();
    if (!m_working)
        return;
    m_working = false;
    emit allVerified();
}

void CAssignIpCtrl::Abort()
{
    if (!m_working)
        return;
    m_aborting = true;
    m_working = false;
    m_assignRunner->Abort();
    m_restartRunner->Abort();
    m_verifyRunner->requestStop();
    // Rows of an abandoned run would otherwise keep showing progress for ever, and a row left in
    // Loading would be skipped by every later run.
    QMutexLocker locker(&m_mutex);
    for (const QPersistentModelIndex& index : ViewRows()) {
        const int status = StatusOf(index);
        if (status == Loading || status == Verifying)
            WriteStatus(index, Timeout);
    }
}
