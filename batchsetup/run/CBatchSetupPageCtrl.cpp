#include "CBatchSetupPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CGetParamValueCtrl.h"
#include "CModelCtrl.h"
#include "CSetDevicesParamsCtrl.h"
#include "CSetupContentManager.h"
#include "CStatusMapSortModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QQmlEngine>
#include <QtDebug>

const QString CBatchSetupPageCtrl::kDefaultExportFileName =
    QStringLiteral("ArdmereBatchSetupExport.csv");

namespace {

// Channels the option lists are allocated for: the most any template can bring.
const int kAllocatedChannels = 8;

} // namespace

CBatchSetupPageCtrl::CBatchSetupPageCtrl(const QString& devicePackDirectory, QObject* parent)
    : CPageCtrl(parent), m_devicePackDirectory(devicePackDirectory),
      m_manager(new CSetupContentManager(this)), m_reader(new CGetParamValueCtrl(this)),
      m_setCtrl(new CSetDevicesParamsCtrl(this))
{
    if (m_manager->Init(m_devicePackDirectory))
        m_manager->SetNumChannel(kAllocatedChannels);
    SetupModels();
    AttachDevicesCtrl();
    connect(m_reader, &CGetParamValueCtrl::jobFinished, this,
            &CBatchSetupPageCtrl::GetParamFromDeviceHandler, Qt::QueuedConnection);
    connect(m_setCtrl, &CSetDevicesParamsCtrl::allVerified, this,
            &CBatchSetupPageCtrl::OnSetDevicesComplete);
}

CBatchSetupPageCtrl::~CBatchSetupPageCtrl()
{
    m_reader->disconnect(this);
    m_setCtrl->disconnect(this);
}

QString CBatchSetupPageCtrl::statusKey() const
{
    return CSetDevicesParamsCtrl::kStatusKey;
}

void CBatchSetupPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes({CCorvaneTableStatus::BatchSetupPage_SetupFail,
                     CCorvaneTableStatus::BatchSetupPage_SetupTimeout,
                     CCorvaneTableStatus::BatchSetupPage_SetupInvalidInput,
                     CCorvaneTableStatus::BatchSetupPage_SetupNetworkError,
                     CCorvaneTableStatus::BatchSetupPage_SetupAuthFail});
    // The template camera is picked from the same devices, with a selection of its own.
    m_templateSelection =
        new CAppendedDataModel("selectedRole", CDeviceInfo::selectedRole, false, this);
    m_templateSelection->setSourceModel(PageList());
    m_templateStatus = new CAppendedDataModel("statusRole", CDeviceInfo::statusRole,
                                              QVariantMap{{statusKey(), -1}}, this);
    m_templateStatus->setSourceModel(m_templateSelection);
    m_templateDevices = new CStatusMapSortModel(this);
    m_templateDevices->setStatusKey(statusKey());
    m_templateDevices->setSourceModel(m_templateStatus);
    m_templateDevicesCtrl = new CModelCtrl(m_templateDevices, this);
}

void CBatchSetupPageCtrl::AttachDevicesCtrl()
{
    m_setCtrl->SetModel(StatusLayer());
}

QAbstractItemModel* CBatchSetupPageCtrl::TemplateDevicesModel() const
{
    return m_templateDevices;
}

QObject* CBatchSetupPageCtrl::TemplateDevicesModelCtrl() const
{
    return m_templateDevicesCtrl;
}

void CBatchSetupPageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    bool same = true;
    const int rows = PageList()->rowCount();
    if (rows > 1) {
        const QString first =
            PageList()->index(0, 0).data(CDeviceInfo::modelRole).toString().left(6);
        for (int row = 1; row < rows && same; ++row)
            same =
                PageList()->index(row, 0).data(CDeviceInfo::modelRole).toString().left(6) == first;
    }
    setIsSameModel(same);
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CBatchSetupPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_setCtrl->IsWorking())
        m_setCtrl->Abort();
    setPageStatus(Nothing);
}

void CBatchSetupPageCtrl::start()
{
    QElapsedTimer t;
    t.start();
    QAbstractItemModel* rows = StatusLayer();
    for (int row = 0; row < rows->rowCount(); ++row)
        CSetDevicesCtrl::WriteStatus(rows->index(row, 0), statusKey(), CCorvaneTableStatus::Empty);
    CPageCtrl::start();
}

void CBatchSetupPageCtrl::startOnFailed()
{
    OnStart();
}

void CBatchSetupPageCtrl::OnStart()
{
    QVector<CSetDevicesParamsCtrl::UidChannel> items;
    items.reserve(m_uidList.size());
    for (const QVariant& value : qAsConst(m_uidList)) {
        const QVariantMap item = value.toMap();
        items.append({item.value(QStringLiteral("uid")).toString(),
                      item.value(QStringLiteral("channel")).toInt()});
    }
    const bool ok = m_setCtrl->Start(items, m_manager);
    setProgress(0);
    if (ok)
        setPageStatus(Working);
    else
        emit startFailed(0);
}

int CBatchSetupPageCtrl::ComputeProgress() const
{
    const int rows = RowCount();
    if (rows == 0)
        return 0;
    return 100 * StatusCounts().value(CCorvaneTableStatus::BatchSetupPage_SetupSuccess) / rows;
}

void CBatchSetupPageCtrl::OnSetDevicesComplete()
{
    if (!IsLeaving()) {
        setErrorCount(CountRows(
            [](int status) { return status != CCorvaneTableStatus::BatchSetupPage_SetupSuccess; }));
        setPageStatus(Finished);
        if (errorCount() == 0) {
            bool restarting = false;
            for (const QVariant& value : qAsConst(m_uidList)) {
                if (m_manager->IsRestartUid(
                        value.toMap().value(QStringLiteral("uid")).toString())) {
                    restarting = true;
                    break;
                }
            }
            emit devicesRestartingAfterApplied(restarting);
        }
        RefreshFailedModel();
    }
    emit completed();
}

QObject* CBatchSetupPageCtrl::GetUISet(int iChannel, QString strUid)
{
    QObject* set = m_manager->GetOptionListPtr(strUid, iChannel);
    // The manager owns its lists; QML must never collect one.
    if (set)
        QQmlEngine::setObjectOwnership(set, QQmlEngine::CppOwnership);
    return set;
}

QString CBatchSetupPageCtrl::getDevicePackDynamicJSFilename() const
{
    const QString model = m_manager->CurrentModel();
    if (model.isEmpty() || model == QLatin1String("base"))
        return QString();
    return QStringLiteral("qrc:///js/DevicePack/") + model + QStringLiteral(".js");
}

bool CBatchSetupPageCtrl::readCurrentOptionFromCamera()
{
    QModelIndex chosen;
    for (int row = 0; row < m_templateDevices->rowCount(); ++row) {
        const QModelIndex index = m_templateDevices->index(row, 0);
        if (index.data(CDeviceInfo::selectedRole).toBool()) {
            chosen = index;
            break;
        }
    }
    if (!chosen.isValid()) {
        qDebug("CBatchSetupPageCtrl::readCurrentOptionFromCamera() error: QML does not select "
               "any device");
        return false;
    }
    const QString alias = chosen.data(CDeviceInfo::aliasIpRole).toString();
    const CDeviceConnInfo conn(
        alias.isEmpty() ? chosen.data(CDeviceInfo::ipRole).toString() : alias,
        chosen.data(CDeviceInfo::usernameRole).toString(),
        chosen.data(CDeviceInfo::passwordRole).toString(),
        static_cast<quint16>(chosen.data(CDeviceInfo::httpPortRole).toUInt()),
        static_cast<quint16>(chosen.data(CDeviceInfo::httpsPortRole).toUInt()));
    const QString model =
        CSetDevicesParamsCtrl::TableModel(chosen.data(CDeviceInfo::cameraModelNameRole).toString());
    if (!m_manager->LoadModel(model))
        m_manager->ResetModel();
    if (!m_reader->start(conn, m_manager->ReadRequests()))
        return false;
    setCurrentTemplateInfo(chosen.data(CDeviceInfo::modelRole).toString() + QStringLiteral("  ") +
                           chosen.data(CDeviceInfo::ipRole).toString());
    return true;
}

void CBatchSetupPageCtrl::GetParamFromDeviceHandler(int iResult)
{
    switch (iResult) {
    case CGetParamValueCtrl::NoUsableAnswer:
        emit readCurrentOptionFromCameraCompleted(
            CCorvaneTableStatus::BatchSetupPage_ImportConnFail);
        return;
    case CGetParamValueCtrl::AuthFail:
        emit readCurrentOptionFromCameraCompleted(
            CCorvaneTableStatus::BatchSetupPage_ImportAuthFail);
        return;
    case CGetParamValueCtrl::Timeout:
        emit readCurrentOptionFromCameraCompleted(
            CCorvaneTableStatus::BatchSetupPage_ImportTimeout);
        return;
    case CGetParamValueCtrl::Success:
        break;
    default:
        emit readCurrentOptionFromCameraCompleted(0);
        return;
    }
    const CSetupContentManager::ParamValues values = m_reader->values();
    m_manager->ApplyCurrentValues(values);
    m_manager->ApplyDigitalInputs(values);
    m_manager->ApplyDigitalOutputs(values);
    m_manager->ResetDirty();
    setNumChannel(m_manager->NumChannel());
    m_manager->EmitDataReset();
    setSupportSmartStream2(m_reader->supportSmartStream());
    setDigitalInputCounts(m_reader->digitalInputCount());
    setDigitalOutputCounts(m_reader->digitalOutputCount());
    emit readCurrentOptionFromCameraCompleted(CCorvaneTableStatus::BatchSetupPage_ImportSuccess);
}

void CBatchSetupPageCtrl::setUidList(QVariantList listOfUidChannelJson)
{
    if (m_uidList == listOfUidChannelJson)
        return;
    m_uidList = listOfUidChannelJson;
}

bool CBatchSetupPageCtrl::exportCurrentOptions(QString strDirPath, QString strFilename)
{
    if (strFilename.isEmpty())
        return false;
    m_lastExportDirectory = strDirPath;
    m_lastExportFileName = strFilename;
    QString path = strFilename;
    if (!strDirPath.isEmpty())
        path = strDirPath.endsWith(QLatin1Char('/')) ? strDirPath + strFilename
                                                     : strDirPath + QLatin1Char('/') + strFilename;
    return m_manager->WriteToFile(path);
}

bool CBatchSetupPageCtrl::exportCurrentOptions(QString strDirPath)
{
    return exportCurrentOptions(strDirPath, kDefaultExportFileName);
}

bool CBatchSetupPageCtrl::exportCurrentOptions()
{
    return exportCurrentOptions(QString(), kDefaultExportFileName);
}

bool CBatchSetupPageCtrl::exportCurrentOptionsToUrl(QUrl url)
{
    const QString file = url.fileName(QUrl::FullyDecoded);
    if (file.isEmpty())
        return false;
    const QUrl directory = url.adjusted(QUrl::RemoveFilename);
    return exportCurrentOptions(directory.toLocalFile(), file);
}

QUrl CBatchSetupPageCtrl::lastExportOptionPath() const
{
    return QUrl::fromLocalFile(QDir(m_lastExportDirectory).absolutePath());
}

QString CBatchSetupPageCtrl::lastExportOptionFilename() const
{
    return m_lastExportFileName;
}

bool CBatchSetupPageCtrl::importCurrentOptions(QString strPath)
{
    if (strPath.isEmpty())
        return false;
    if (!m_manager->ReadFromFile(strPath)) {
        emit readCurrentOptionFromFileCompleted(0);
        return false;
    }
    setDigitalInputCounts(m_manager->DigitalInputCount());
    setDigitalOutputCounts(m_manager->DigitalOutputCount());
    m_manager->ResetDirty();
    setCurrentTemplateInfo(m_manager->CurrentModel());
    emit readCurrentOptionFromFileCompleted(CCorvaneTableStatus::BatchSetupPage_ImportSuccess);
    setCurrentTemplateInfo(QString());
    setSupportSmartStream2(true);
    return true;
}

bool CBatchSetupPageCtrl::importCurrentOptions()
{
    return importCurrentOptions(kDefaultExportFileName);
}

bool CBatchSetupPageCtrl::importCurrentOptionsFromUrl(QUrl url)
{
    return importCurrentOptions(url.toLocalFile());
}

void CBatchSetupPageCtrl::abortSetDevices()
{
    if (m_setCtrl->IsWorking())
        m_setCtrl->Abort();
    setPageStatus(Nothing);
}

bool CBatchSetupPageCtrl::isOptionListDirty() const
{
    return m_manager->IsDirty();
}

void CBatchSetupPageCtrl::resetOptionListDirtyBit()
{
    m_manager->ResetDirty();
}

QVariantList CBatchSetupPageCtrl::customizeSettings() const
{
    QVariantList uids;
    for (const QString& uid : m_manager->CustomizeUids())
        uids.append(uid);
    return uids;
}

QVariantMap CBatchSetupPageCtrl::getPasswordPolcyRule() const
{
    return m_reader->passwordPolicyRule();
}

void CBatchSetupPageCtrl::setIsSameModel(bool value)
{
    if (m_isSameModel == value)
        return;
    m_isSameModel = value;
    emit isSameModelChanged();
}

void CBatchSetupPageCtrl::setNumChannel(int value)
{
    if (m_numChannel == value)
        return;
    m_numChannel = value;
    emit numChannelChanged();
}

void CBatchSetupPageCtrl::setCurrentTemplateInfo(const QString& value)
{
    if (m_currentTemplateInfo == value)
        return;
    m_currentTemplateInfo = value;
    emit currentTemplateInfoChanged();
}

void CBatchSetupPageCtrl::setSupportSmartStream2(bool value)
{
    if (m_supportSmartStream2 == value)
        return;
    m_supportSmartStream2 = value;
    emit supportSmartStream2Changed();
}

void CBatchSetupPageCtrl::setDigitalInputCounts(int value)
{
    if (m_digitalInputCounts == value)
        return;
    m_digitalInputCounts = value;
    emit digitalInputCountsChanged();
}

void CBatchSetupPageCtrl::setDigitalOutputCounts(int value)
{
    if (m_digitalOutputCounts == value)
        return;
    m_digitalOutputCounts = value;
    emit digitalOutputCountsChanged();
}
