#include "CSetDevicesParamsCtrl.h"

#include "CBatchSetupCtrl.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CSetupContentManager.h"
#include "Settings.h"

#include <QBuffer>
#include <QHash>
#include <QMutexLocker>

const QString CSetDevicesParamsCtrl::kStatusKey = QStringLiteral("batchSetup");
const QString CSetDevicesParamsCtrl::kSetParamPath = QStringLiteral("/cgi-bin/admin/setparam.cgi");

CSetDevicesParamsCtrl::CSetDevicesParamsCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_runner(new CBatchSetupCtrl(this))
{
    connect(m_runner, &CBatchSetupCtrl::changeStatus, this,
            &CSetDevicesParamsCtrl::setupResultHandler);
    // Queued: a run with nothing to send finishes inside the runner's Start, and the page must
    // see the run begin before it sees it end.
    connect(m_runner, &CBatchSetupCtrl::finished, this,
            &CSetDevicesParamsCtrl::setupFinishedHandler, Qt::QueuedConnection);
}

CSetDevicesParamsCtrl::~CSetDevicesParamsCtrl()
{
    m_runner->disconnect(this);
}

QString CSetDevicesParamsCtrl::TableModel(const QString& cameraModelName)
{
    if (cameraModelName == QLatin1String("KX5120-RC(Lane)"))
        return QStringLiteral("KX5120-HQ-RC(Lane)");
    if (cameraModelName == QLatin1String("KX5120-RC(Yard)"))
        return QStringLiteral("KX5120-HQ-RC(Yard)");
    return cameraModelName;
}

QStringList CSetDevicesParamsCtrl::SplitBodies(const QStringList& params)
{
    QStringList bodies;
    QString body;
    int count = 0;
    for (const QString& param : params) {
        if (count > 0)
            body += QLatin1Char('&');
        body += param;
        count += param.size();
        if (count > kMaxBodyChars) {
            bodies.append(body);
            body.clear();
            count = 0;
        }
    }
    if (count > 0)
        bodies.append(body);
    return bodies;
}

int CSetDevicesParamsCtrl::StatusFromResult(int result)
{
    switch (result) {
    case 1:
        return CCorvaneTableStatus::BatchSetupPage_SetupNetworkError;
    case 2:
        return CCorvaneTableStatus::BatchSetupPage_SetupInvalidInput;
    case 3:
        return CCorvaneTableStatus::BatchSetupPage_SetupAuthFail;
    case 4:
        return CCorvaneTableStatus::BatchSetupPage_SetupTimeout;
    case 6:
        return CCorvaneTableStatus::BatchSetupPage_SetupSuccess;
    default:
        // 5 is a camera still waiting for its first password: it cannot take settings.
        return CCorvaneTableStatus::BatchSetupPage_SetupFail;
    }
}

bool CSetDevicesParamsCtrl::Start(const QVector<UidChannel>& items, CSetupContentManager* manager)
{
    if (m_working || !m_model || !manager)
        return false;
    SetWorking(true);
    const QList<CBatchSetParamConnInfo> list = CreateList(items, manager);
    // Whatever a previous run left with the client is forgotten before the new one goes out.
    m_runner->Cancel();
    m_runner->SetTimeout(
        readSettingsValue(QStringLiteral("batchSetDevicesTimeoutMS"), 30000).toInt());
    m_runner->Start(list);
    return true;
}

void CSetDevicesParamsCtrl::Abort()
{
    if (m_working)
        m_runner->Abort();
}

QList<CBatchSetParamConnInfo> CSetDevicesParamsCtrl::CreateList(const QVector<UidChannel>& items,
                                                                CSetupContentManager* manager)
{
    QMutexLocker lock(&m_listMutex);
    m_rows.clear();
    m_indexes.clear();
    QList<CBatchSetParamConnInfo> list;
    int restarts = 0;
    for (const UidChannel& item : items) {
        if (manager->IsRestartUid(item.first))
            ++restarts;
    }
    QHash<QString, QList<QPair<QString, QByteArray>>> bodiesByModel;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = StatusOf(index, kStatusKey);
        if (status == CCorvaneTableStatus::BatchSetupPage_SetupSuccess ||
            status == CCorvaneTableStatus::BatchSetupPage_SetupLoading)
            continue;
        const QString alias = index.data(CDeviceInfo::aliasIpRole).toString();
        const CDeviceConnInfo conn(
            alias.isEmpty() ? index.data(CDeviceInfo::ipRole).toString() : alias,
            index.data(CDeviceInfo::usernameRole).toString(),
            index.data(CDeviceInfo::passwordRole).toString(),
            static_cast<quint16>(index.data(CDeviceInfo::httpPortRole).toUInt()),
            static_cast<quint16>(index.data(CDeviceInfo::httpsPortRole).toUInt()));
        const QString model = TableModel(index.data(CDeviceInfo::cameraModelNameRole).toString());
        // Every camera of a model gets the same bodies: they are built once per model and the
        // buffers share their bytes.
        auto bodies = bodiesByModel.find(model);
        if (bodies == bodiesByModel.end()) {
            QMap<QString, QStringList> requests = manager->BuildSetRequests(model, items);
            for (int i = 0; i < restarts; ++i)
                requests[kSetParamPath].append(QStringLiteral("system_reset=1"));
            QList<QPair<QString, QByteArray>> built;
            for (auto it = requests.cbegin(); it != requests.cend(); ++it) {
                for (const QString& text : SplitBodies(it.value()))
                    built.append({it.key(), text.toUtf8()});
            }
            bodies = bodiesByModel.insert(model, built);
        }
        QList<CBatchSetParamConnInfo::Command> commands;
        commands.reserve(bodies->size());
        for (const auto& body : qAsConst(*bodies)) {
            // Each request takes its body over once it is sent.
            auto* buffer = new QBuffer();
            buffer->setData(body.second);
            buffer->open(QIODevice::ReadWrite);
            commands.append({body.first, buffer});
        }
        list.append(CBatchSetParamConnInfo(conn, commands));
        m_rows.append(row);
        m_indexes.append(QPersistentModelIndex(index));
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::BatchSetupPage_SetupLoading);
    }
    return list;
}

void CSetDevicesParamsCtrl::setupResultHandler(int iCurrListIdx, const QVariant& result)
{
    const int status = StatusFromResult(result.toInt());
    QMutexLocker lock(&m_listMutex);
    if (iCurrListIdx < 0 || iCurrListIdx >= m_indexes.size())
        return;
    WriteStatus(m_indexes.at(iCurrListIdx), kStatusKey, status);
}

void CSetDevicesParamsCtrl::setupFinishedHandler()
{
    emit allCmdSent();
    emit allVerified();
    SetWorking(false);
}
