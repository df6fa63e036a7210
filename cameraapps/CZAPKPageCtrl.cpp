#include "CZAPKPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CModelCtrl.h"
#include "CZAPKDevicesCtrl.h"
#include "CZAPKLeftModel.h"
#include "CZAPKPageModel.h"
#include "Worker.h"

#include <QDir>
#include <QtDebug>
#include <deque>

const QStringList CZAPKPageCtrl::kActionKeys{QStringLiteral("zapk"),
                                             QStringLiteral("zapkTrendMicroMode"),
                                             QStringLiteral("zapkOnOff"),
                                             QStringLiteral("zapkTrendMicroUpload"),
                                             QStringLiteral("zapkTrendMicroExport"),
                                             QStringLiteral("zapkUninstall"),
                                             QStringLiteral("zapkStereoUpload"),
                                             QStringLiteral("zapkStereoExport")};

CZAPKPageCtrl::CZAPKPageCtrl(QObject* parent)
    : CPageCtrl(parent), m_ctrl(new CZAPKDevicesCtrl(this)), m_leftModel(new CZAPKLeftModel(this))
{
    m_pool.setMaxThreadCount(kMaxDiscoveryThreads);
    SetupModels();
    AttachDevicesCtrl();
    connect(m_ctrl, &CZAPKDevicesCtrl::verified, this, [this](bool allOn) {
        SetOnoff(allOn);
        setErrorCount(CountSelected(true));
        setPageStatus(Finished);
        emit completed();
    });
    connect(m_ctrl, &CZAPKDevicesCtrl::allCmdSent, this, &CZAPKPageCtrl::OnCtrlCompleted);
    connect(m_ctrl, &CZAPKDevicesCtrl::removeInBtn, this, &CZAPKPageCtrl::UpdateBtnModel);
    connect(m_ctrl, &CZAPKDevicesCtrl::exportResult, this, &CZAPKPageCtrl::ExportStereoHandler);
    connect(m_ctrl, &CZAPKDevicesCtrl::trendMicroExportPathSet, this,
            &CZAPKPageCtrl::TrendMicroExportPathHandler);
    connect(m_ctrl, &CZAPKDevicesCtrl::stereoExportPathSet, this,
            &CZAPKPageCtrl::StereoExportPathHandler);
    connect(StatusLayer(), &QAbstractItemModel::dataChanged, this,
            &CZAPKPageCtrl::OnDeviceStatusChange, Qt::DirectConnection);
}

CZAPKPageCtrl::~CZAPKPageCtrl()
{
    m_ctrl->disconnect(this);
    // Jobs not yet started never start; running ones finish their one request.
    ++m_generation;
    m_pool.clear();
    m_pool.waitForDone();
}

void CZAPKPageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    QAbstractItemModel* below = StatusLayer();
    const struct
    {
        const char* name;
        int role;
    } layers[] = {{"zapkIdxRole", CDeviceInfo::zapkIdxRole},
                  {"zapkNameRole", CDeviceInfo::zapkNameRole},
                  {"zapkVerRole", CDeviceInfo::zapkVerRole},
                  {"zapkStatusRole", CDeviceInfo::zapkStatusRole},
                  {"zapkSignatureRole", CDeviceInfo::zapkSignatureRole}};
    for (const auto& layer : layers) {
        auto* model = new CAppendedDataModel(layer.name, layer.role, QString(), this);
        model->setSourceModel(below);
        m_zapkLayers.append(model);
        below = model;
    }
    m_pageModel = new CZAPKPageModel(this);
    m_selectedModel = new CZAPKPageModel(this);
    m_exportModel = new CZAPKPageModel(this);
    for (CZAPKPageModel* view : {m_pageModel, m_selectedModel, m_exportModel})
        view->setSourceModel(below);
    m_pageModelCtrl = new CModelCtrl(m_pageModel, this);
    m_selectedModelCtrl = new CModelCtrl(m_selectedModel, this);
    m_exportCtrl = new CModelCtrl(m_exportModel, this);
}

void CZAPKPageCtrl::AttachDevicesCtrl()
{
    m_ctrl->SetModel(OperationModel());
}

QAbstractItemModel* CZAPKPageCtrl::OperationModel() const
{
    return m_zapkLayers.isEmpty() ? nullptr : m_zapkLayers.last();
}

void CZAPKPageCtrl::SetMainDeviceList(QAbstractItemModel* model)
{
    m_mainList = model;
}

void CZAPKPageCtrl::SetKey(const QString& key)
{
    m_currentKey = key;
    m_ctrl->SetKey(key);
    emit statusKeyChanged();
}

void CZAPKPageCtrl::SetWorkingFlag(bool working)
{
    if (m_working == working)
        return;
    m_working = working;
    emit workingChanged();
}

void CZAPKPageCtrl::SetOnoff(bool on)
{
    m_onoff = on;
    emit onoffChanged();
}

void CZAPKPageCtrl::SetCurrModule(const QString& module)
{
    m_currModule = module;
}

void CZAPKPageCtrl::enterPage()
{
    m_aborted = false;
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
    if (!m_mainList) {
        emit enterPageFailed(CtrlNotAvailable);
        return;
    }
    int selected = 0;
    for (int row = 0; row < m_mainList->rowCount(); ++row) {
        if (m_mainList->index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            ++selected;
    }
    if (selected != m_numDevices) {
        m_numDevices = selected;
        emit numDevicesChanged();
    }
    m_ctrl->SetExportBaseFolder(QString());
    refresh();
    SetWorkingFlag(false);
}

void CZAPKPageCtrl::refresh()
{
    m_moduleMap.clear();
    m_records.clear();
    m_leftModel->SetContent({});
    m_pageModel->refresh();
    if (!m_mainList)
        return;
    const quint64 generation = ++m_generation;
    m_runningWorkers = 0;
    QList<Worker*> workers;
    for (int row = 0; row < m_mainList->rowCount(); ++row) {
        const QModelIndex index = m_mainList->index(row, 0);
        if (!index.data(CDeviceInfo::selectedRole).toBool())
            continue;
        auto* worker = new Worker(index.data(CDeviceInfo::ipRole).toString(),
                                  index.data(CDeviceInfo::httpPortRole).toString(),
                                  index.data(CDeviceInfo::httpsPortRole).toString(),
                                  index.data(CDeviceInfo::usernameRole).toString(),
                                  index.data(CDeviceInfo::passwordRole).toString());
        // The worker lives here and emits from the pool's thread: the answer arrives queued.
        connect(worker, &Worker::finished, this, [this, generation](const QStringList& result) {
            if (generation == m_generation)
                resultGetter(result);
        });
        workers.append(worker);
    }
    for (Worker* worker : workers) {
        ++m_runningWorkers;
        // Deleted only once process() has returned, never while its signal is still going out.
        m_pool.start([worker] {
            worker->process();
            worker->deleteLater();
        });
    }
}

void CZAPKPageCtrl::resultGetter(const QStringList& r)
{
    if (r.size() % 5 != 0)
        qDebug() << "CZAPKPageCtrl: bad result";
    for (int i = 0; i + 5 <= r.size(); i += 5) {
        auto record = std::make_shared<t_ZAPKinfo>();
        record->ip = r[i];
        record->name = r[i + 1];
        record->version = r[i + 2];
        record->status = r[i + 3];
        record->index = r[i + 4];
        m_records.append(record);
    }
    if (--m_runningWorkers > 0)
        return;
    if (m_records.isEmpty()) {
        SetCurrModule(QString());
        RebuildRows();
    } else {
        m_moduleMap.clear();
        for (const auto& record : qAsConst(m_records))
            m_moduleMap[record->name].append(record->ip);
        QVector<QPair<QString, int>> rows;
        for (auto it = m_moduleMap.constBegin(); it != m_moduleMap.constEnd(); ++it)
            rows.append({it.key(), it.value().size()});
        m_leftModel->SetContent(rows);
        RebuildRows();
        SetCurrModule(m_records.first()->name);
    }
    emit currModuleChanged();
    emit searchEnd();
}

void CZAPKPageCtrl::RebuildRows()
{
    if (!m_mainList)
        return;
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    QList<std::shared_ptr<t_ZAPKinfo>> kept;
    for (const auto& record : qAsConst(m_records)) {
        QModelIndexList hits;
        for (int row = 0; row < m_mainList->rowCount(); ++row) {
            const QModelIndex index = m_mainList->index(row, 0);
            if (index.data(CDeviceInfo::ipRole).toString() == record->ip)
                hits.append(index);
        }
        if (hits.size() > 1)
            qDebug() << "sourceIndex.count() > 1";
        // A device that left the main list while it was asked has no row to show.
        if (hits.isEmpty())
            continue;
        const QModelIndex source = hits.first();
        auto device = std::make_shared<CDeviceInfo>();
        device->model = source.data(CDeviceInfo::modelRole).toString();
        device->ip = source.data(CDeviceInfo::ipRole).toString();
        device->mac = source.data(CDeviceInfo::macRole).toString();
        device->firmwareInfo = source.data(CDeviceInfo::firmwareInfoRole).toString();
        device->firmware = source.data(CDeviceInfo::firmwareRole).toString();
        device->username = source.data(CDeviceInfo::usernameRole).toString();
        device->password = source.data(CDeviceInfo::passwordRole).toString();
        device->httpPort = quint16(source.data(CDeviceInfo::httpPortRole).toUInt());
        device->httpsPort = quint16(source.data(CDeviceInfo::httpsPortRole).toUInt());
        device->aliasIp = source.data(CDeviceInfo::aliasIpRole).toString();
        list.push_back(device);
        kept.append(record);
    }
    PageList()->ResetList(std::move(list));
    QAbstractItemModel* top = OperationModel();
    for (int row = 0; row < kept.size(); ++row) {
        const QModelIndex index = top->index(row, 0);
        top->setData(index, kept[row]->index, CDeviceInfo::zapkIdxRole);
        top->setData(index, kept[row]->name, CDeviceInfo::zapkNameRole);
        top->setData(index, kept[row]->version, CDeviceInfo::zapkVerRole);
        top->setData(index, kept[row]->status, CDeviceInfo::zapkStatusRole);
        top->setData(index, QStringLiteral("N/A"), CDeviceInfo::zapkSignatureRole);
    }
    m_pageModel->setPackageName(m_records.isEmpty() ? QString() : m_records.first()->name);
}

void CZAPKPageCtrl::clearPage()
{
    m_aborted = false;
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CZAPKPageCtrl::ClearStatus(const std::function<bool(const QModelIndex&)>& which)
{
    QAbstractItemModel* top = OperationModel();
    QVariantMap cleared;
    for (const QString& key : kActionKeys)
        cleared.insert(key, -1);
    for (int row = 0; row < top->rowCount(); ++row) {
        const QModelIndex index = top->index(row, 0);
        if (which(index))
            top->setData(index, cleared, CDeviceInfo::statusRole);
    }
}

void CZAPKPageCtrl::clearAllStatus()
{
    ClearStatus(
        [](const QModelIndex& index) { return index.data(CDeviceInfo::selectedRole).toBool(); });
}

void CZAPKPageCtrl::clearCurrentModuleStatus()
{
    ClearStatus([this](const QModelIndex& index) {
        return index.data(CDeviceInfo::zapkNameRole).toString() == m_currModule;
    });
}

void CZAPKPageCtrl::abortWorkingCtrl()
{
    m_aborted = true;
    if (m_ctrl->IsWorking()) {
        qDebug() << "void CZAPKPageCtrl::abortWorkingCtrl(), to abort m_ctrl";
        m_ctrl->Abort();
    }
    SetWorkingFlag(false);
    setPageStatus(Nothing);
}

void CZAPKPageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    abortWorkingCtrl();
}

void CZAPKPageCtrl::itemClicked(int idx)
{
    if (m_leftModel->count() == 0)
        return;
    if (idx < 0 || idx >= m_leftModel->count())
        idx = 0;
    m_currModule = m_leftModel->NameAt(idx);
    emit currModuleChanged();
    m_exportModel->setMinimumVersion(
        m_currModule == QLatin1String("ANPR") ? QStringLiteral("3.2.6.5") : QString());
    m_pageModel->setPackageName(m_currModule);
    QAbstractItemModel* top = OperationModel();
    for (int row = 0; row < top->rowCount(); ++row) {
        const QModelIndex index = top->index(row, 0);
        if (index.data(CDeviceInfo::selectedRole).toBool())
            top->setData(index, false, CDeviceInfo::selectedRole);
    }
}

void CZAPKPageCtrl::setup()
{
    m_aborted = false;
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
    m_selectedModel->setOnlySelected(true);
    bool on = true;
    QAbstractItemModel* top = OperationModel();
    for (int row = 0; row < top->rowCount(); ++row) {
        const QModelIndex index = top->index(row, 0);
        if (index.data(CDeviceInfo::selectedRole).toBool() &&
            index.data(CDeviceInfo::zapkStatusRole)
                    .toString()
                    .compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
            on = false;
    }
    SetOnoff(on);
}

void CZAPKPageCtrl::turnOnOff(bool on)
{
    SetKey(QStringLiteral("zapkOnOff"));
    m_ctrl->TurnOnOff(on);
    setPageStatus(Working);
}

void CZAPKPageCtrl::remove()
{
    SetKey(QStringLiteral("zapkUninstall"));
    setPageStatus(Working);
    m_ctrl->Remove();
}

void CZAPKPageCtrl::uploadTrendMicroConfig(const QString& strFilePath)
{
    SetKey(QStringLiteral("zapkTrendMicroUpload"));
    m_ctrl->UploadTrendMicroConfig(QUrl(strFilePath).isLocalFile() ? QUrl(strFilePath).toLocalFile()
                                                                   : strFilePath);
    setPageStatus(Working);
}

void CZAPKPageCtrl::uploadStereoConfig(const QString& strFilePath, const QString& module)
{
    SetKey(QStringLiteral("zapkStereoUpload"));
    m_ctrl->UploadStereoConfig(
        QUrl(strFilePath).isLocalFile() ? QUrl(strFilePath).toLocalFile() : strFilePath, module);
    setPageStatus(Working);
}

void CZAPKPageCtrl::setAutoUpdate(bool isAuto)
{
    SetKey(QStringLiteral("zapkTrendMicroMode"));
    m_ctrl->SetAutoUpdate(isAuto);
}

void CZAPKPageCtrl::setZAPKExportDir(const QUrl& url)
{
    m_ctrl->SetExportBaseFolder(url.isLocalFile() ? url.toLocalFile() : url.toString());
}

void CZAPKPageCtrl::exportTrendMicroLog()
{
    SetKey(QStringLiteral("zapkTrendMicroExport"));
    m_ctrl->ExportTrendMicroLog();
    setPageStatus(Working);
}

void CZAPKPageCtrl::exportStereo(const QString& module, int zapkIndex, const QString& ip)
{
    SetKey(QStringLiteral("zapkStereoExport"));
    m_ctrl->ExportStereo(module, zapkIndex, ip);
    setPageStatus(Working);
}

void CZAPKPageCtrl::getSignature(bool forced)
{
    m_ctrl->GetSignature(forced, false);
}

void CZAPKPageCtrl::exportClicked()
{
    m_exportModel->setOnlySelected(true);
}

void CZAPKPageCtrl::setCurrentPackage(const QString& packageName)
{
    m_pageModel->setPackageName(packageName);
}

void CZAPKPageCtrl::setStereoExportPackage(const QString& packageName)
{
    m_exportModel->setPackageName(packageName);
}

QObject* CZAPKPageCtrl::getIdxModel(int idx)
{
    // Nothing in the window asks for a per-module view; the page table serves for any module.
    Q_UNUSED(idx)
    return m_pageModel;
}

void CZAPKPageCtrl::select(int index)
{
    Q_UNUSED(index)
}

void CZAPKPageCtrl::startOnFailed()
{
    qDebug() << "CZAPKPageCtrl::startOnFailed()";
}

void CZAPKPageCtrl::inspector(int idx)
{
    qDebug() << "CZAPKPageCtrl::inspector" << idx
             << OperationModel()->index(idx, 0).data(CDeviceInfo::zapkNameRole).toString();
}

int CZAPKPageCtrl::CountSelected(bool onlyNotSuccess) const
{
    int n = 0;
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        const QModelIndex index = m_pageModel->index(row, 0);
        if (!index.data(CDeviceInfo::selectedRole).toBool())
            continue;
        if (onlyNotSuccess &&
            CSetDevicesCtrl::StatusOf(index, m_currentKey) == CCorvaneTableStatus::ZAPKPage_Success)
            continue;
        ++n;
    }
    return n;
}

void CZAPKPageCtrl::OnCtrlCompleted()
{
    if (!m_pendingExportResult.isEmpty()) {
        m_aborted = false;
        setProgress(0);
        setErrorCount(0);
        setPageStatus(Nothing);
        const QString text = m_pendingExportResult;
        m_pendingExportResult.clear();
        emit exportResult(text);
        emit completed();
        return;
    }
    int failures = 0;
    if (m_aborted)
        m_aborted = false;
    else
        failures = CountSelected(true);
    if (m_currentKey == QLatin1String("zapkTrendMicroMode")) {
        emit setModeResult(failures == 0);
    } else {
        setErrorCount(failures);
        setPageStatus(Finished);
    }
    emit completed();
}

void CZAPKPageCtrl::UpdateBtnModel(int num)
{
    const int row = m_leftModel->RowOf(m_currModule);
    if (row < 0) {
        qDebug() << "CZAPKPageCtrl::UpdateBtnModel() No match at remove. Something is wrong with "
                    "btn model";
        return;
    }
    const int left =
        qMax(0, m_leftModel->index(row, 0).data(CZAPKLeftModel::devicecount).toInt() - num);
    m_leftModel->SetDeviceCount(row, left);
    if (left == 0)
        m_leftModel->removeRows(row, 1);
}

void CZAPKPageCtrl::OnDeviceStatusChange(const QModelIndex&, const QModelIndex&,
                                         const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CDeviceInfo::statusRole))
        return;
    if (m_currentKey == QLatin1String("zapkTrendMicroMode") ||
        m_currentKey == QLatin1String("zapkOnOff") ||
        m_currentKey == QLatin1String("zapkStereoExport"))
        return;
    const int selected = CountSelected(false);
    setProgress(selected == 0 ? 0 : (selected - CountSelected(true)) * 100 / selected);
}

void CZAPKPageCtrl::ExportStereoHandler(const QString& result)
{
    m_pendingExportResult = result;
}

void CZAPKPageCtrl::TrendMicroExportPathHandler(const QString& target)
{
    m_trendExportPath = target;
    emit trendExportPathChanged();
}

void CZAPKPageCtrl::StereoExportPathHandler(const QString& target)
{
    QString path = target;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "file:///" in front of a Windows path; a Unix path brings its own leading "/".
    m_stereoExportPath = QUrl::fromLocalFile(path).toString();
    emit stereoExportPathChanged();
}
