#include "CFirmwarePageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CFirmwareDevicesProxyModel.h"
#include "CFirmwarePageInfo.h"
#include "CFirmwarePageModel.h"
#include "CModelCtrl.h"
#include "CStatusMapFilterModel.h"
#include "CUpgradeFirmwareCtrl.h"
#include "ModelNames.h"

#include <QMutexLocker>
#include <QSortFilterProxyModel>
#include <QtDebug>

CFirmwarePageCtrl::CFirmwarePageCtrl(QObject* parent)
    : CPageCtrl(parent), m_upgradeCtrl(new CUpgradeFirmwareCtrl(this)),
      m_pageModel(new CFirmwarePageModel(this))
{
    // Queued connections and signal spies carry the error by its type name.
    qRegisterMetaType<CFirmwarePageCtrl::E_Open_File_Error>();
    SetupModels();
    AttachDevicesCtrl();
    connect(m_upgradeCtrl, &CUpgradeFirmwareCtrl::allVerified, this,
            &CFirmwarePageCtrl::OnCtrlComplete);
    // Direct, so that a group's progress follows each status write at once.
    connect(StatusLayer(), &QAbstractItemModel::dataChanged, this,
            &CFirmwarePageCtrl::OnDeviceStatusChange, Qt::DirectConnection);
    connect(m_pageModel, &QAbstractItemModel::dataChanged, this,
            &CFirmwarePageCtrl::OnPageModelDataChanged);
}

CFirmwarePageCtrl::~CFirmwarePageCtrl()
{
    m_upgradeCtrl->disconnect(this);
    // The groups' views sit on the status layer; they go first.
    m_pageModel->ResetList({});
}

QString CFirmwarePageCtrl::statusKey() const
{
    return CUpgradeFirmwareCtrl::kStatusKey;
}

bool CFirmwarePageCtrl::SetMainModelCtrl(QObject* ctrl)
{
    if (!CPageCtrl::SetMainModelCtrl(ctrl))
        return false;
    m_mainCtrl = qobject_cast<CModelCtrl*>(ctrl);
    return true;
}

QStringList CFirmwarePageCtrl::WaitingQueue() const
{
    QMutexLocker lock(&m_queueMutex);
    return QStringList(m_waitingQueue.begin(), m_waitingQueue.end());
}

void CFirmwarePageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SelectionLayer()->setSourceModel(PageList());
    if (!m_groupView) {
        m_groupView = new CFirmwareDevicesProxyModel(this);
        m_groupView->setSourceModel(StatusLayer());
        // The devices table shows all devices or one group: it sits on the group view.
        if (auto* devices = qobject_cast<QSortFilterProxyModel*>(DevicesModel()))
            devices->setSourceModel(m_groupView);
    }
    SetFailureCodes(
        {CCorvaneTableStatus::FirmwarePage_Fail, CCorvaneTableStatus::FirmwarePage_CannotOpenFile,
         CCorvaneTableStatus::FirmwarePage_NetworkError, CCorvaneTableStatus::FirmwarePage_AuthFail,
         CCorvaneTableStatus::FirmwarePage_Timeout});
}

bool CFirmwarePageCtrl::CopySelectedDevices()
{
    if (!StatusLayer())
        return false;
    return CPageCtrl::CopySelectedDevices();
}

void CFirmwarePageCtrl::AttachDevicesCtrl()
{
    m_upgradeCtrl->SetModel(m_groupView->sourceModel());
}

QVariant CFirmwarePageCtrl::GroupValue(int row, int role) const
{
    return m_pageModel->data(m_pageModel->index(row, 0), role);
}

void CFirmwarePageCtrl::SetGroupValue(int row, int role, const QVariant& value)
{
    m_pageModel->setData(m_pageModel->index(row, 0), value, role);
}

void CFirmwarePageCtrl::SetApplyButtonAvailable(bool available)
{
    if (m_isApplyButtonAvailable == available)
        return;
    m_isApplyButtonAvailable = available;
    emit isApplyButtonAvailableChanged();
}

void CFirmwarePageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    {
        QMutexLocker lock(&m_queueMutex);
        m_waitingQueue.clear();
    }
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
    m_groupView->setShowAll(true);
    if (m_groupView->rowCount() > 0) {
        BuildGroups();
        m_groupView->setShowAll(false);
        SetApplyButtonAvailable(false);
    } else {
        m_pageModel->ResetList({});
        m_groupView->setShowAll(false);
    }
}

void CFirmwarePageCtrl::BuildGroups()
{
    m_groupView->sortGroups(Qt::AscendingOrder);
    std::deque<std::shared_ptr<CFirmwarePageInfo>> groups;
    const int rows = m_groupView->rowCount();
    const auto modelAt = [this](int i) {
        return m_groupView->index(i, 0).data(CDeviceInfo::modelRole).toString();
    };
    const auto firmwareModelAt = [this](int i) {
        return modelFromInfo(
            m_groupView->index(i, 0).data(CDeviceInfo::firmwareInfoRole).toString());
    };
    const auto sourceRowAt = [this](int i) {
        return m_groupView->mapToSource(m_groupView->index(i, 0)).row();
    };
    QString model = modelAt(0);
    QString firmwareModel = firmwareModelAt(0);
    QVariantList rowList;
    const auto close = [&](int end) {
        groups.push_back(std::make_shared<CFirmwarePageInfo>(StatusLayer(), model, firmwareModel,
                                                             rowList, QString::number(end)));
    };
    for (int i = 0; i < rows; ++i) {
        const QString rowModel = modelAt(i);
        if (rowModel == model) {
            rowList.append(sourceRowAt(i));
            continue;
        }
        close(i);
        model = rowModel;
        firmwareModel = firmwareModelAt(i);
        rowList = {sourceRowAt(i)};
    }
    close(rows);
    m_pageModel->ResetList(std::move(groups));
}

void CFirmwarePageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_upgradeCtrl->IsWorking())
        m_upgradeCtrl->Abort();
    CopyFirmwareBack();
    setPageStatus(Nothing);
}

void CFirmwarePageCtrl::setDisplayDevices(int iPageModelRow)
{
    if (iPageModelRow < 0 || iPageModelRow >= m_pageModel->rowCount())
        return;
    m_groupView->setShowAll(false);
    m_groupView->setRows(GroupValue(iPageModelRow, CFirmwarePageModel::rowNumListRole).toList());
}

void CFirmwarePageCtrl::setDisplayAllDevices()
{
    m_groupView->setShowAll(true);
}

void CFirmwarePageCtrl::setFirmwarePath(int iPageModelRow, const QUrl& firmwareUrl)
{
    if (iPageModelRow < 0 || iPageModelRow >= m_pageModel->rowCount()) {
        emit openFileFailed(InvalidGroupIndex);
        return;
    }
    const int status = GroupValue(iPageModelRow, CFirmwarePageModel::statusRole).toInt();
    if (status != Nothing && status != Finished && status != Loading) {
        emit openFileFailed(GroupCurrentlyWorking);
        return;
    }
    const QString model = GroupValue(iPageModelRow, CFirmwarePageModel::modelRole).toString();
    m_upgradeCtrl->ClearModelStatus(model);
    SetGroupValue(iPageModelRow, CFirmwarePageModel::firmwarePathRole, firmwareUrl.toLocalFile());
    SetGroupValue(iPageModelRow, CFirmwarePageModel::filenameRole,
                  firmwareUrl.fileName(QUrl::FullyDecoded));
    SetGroupValue(iPageModelRow, CFirmwarePageModel::statusRole, int(Loading));
    emit fileOpened(iPageModelRow);
}

void CFirmwarePageCtrl::setScript(bool bIsScript)
{
    m_upgradeCtrl->SetScript(bIsScript);
}

void CFirmwarePageCtrl::setNeedRemoveAfter(bool bNeed)
{
    m_needRemoveAfter = bNeed;
}

bool CFirmwarePageCtrl::CanStartGroup(int row) const
{
    if (!m_pageModel->index(row, 0).isValid()) {
        qDebug().noquote() << "CFirmwarePageCtrl::start error: Invalid index" << row;
        return false;
    }
    if (GroupValue(row, CFirmwarePageModel::firmwarePathRole).toString().isEmpty()) {
        qDebug().noquote() << "CFirmwarePageCtrl::start error: File path is not set for group"
                           << row;
        return false;
    }
    const int status = GroupValue(row, CFirmwarePageModel::statusRole).toInt();
    if (status == Waiting || status == Working || status == Nothing) {
        qDebug().noquote() << "CFirmwarePageCtrl::start info: Group status" << status
                           << "cannot started for group" << row;
        return false;
    }
    return true;
}

void CFirmwarePageCtrl::start(int iPageModelRow)
{
    if (CanStartGroup(iPageModelRow))
        EnqueueGroup(iPageModelRow);
    else
        emit startFailed(0);
}

void CFirmwarePageCtrl::startOnFailed(int iPageModelRow)
{
    start(iPageModelRow);
}

void CFirmwarePageCtrl::startAll()
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (CanStartGroup(row))
            EnqueueGroup(row);
    }
}

void CFirmwarePageCtrl::startAllFailed()
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CFirmwarePageModel::statusRole).toInt() != Finished ||
            GroupValue(row, CFirmwarePageModel::errorCountRole).toInt() == 0)
            continue;
        if (CanStartGroup(row))
            EnqueueGroup(row);
        else
            emit startFailed(0);
    }
}

void CFirmwarePageCtrl::EnqueueGroup(int row)
{
    SetGroupValue(row, CFirmwarePageModel::statusRole, int(Waiting));
    SetGroupValue(row, CFirmwarePageModel::progressRole, 0);
    SetGroupValue(row, CFirmwarePageModel::errorCountRole, 0);
    m_upgradeCtrl->MarkModelWaiting(GroupValue(row, CFirmwarePageModel::modelRole).toString());
    {
        QMutexLocker lock(&m_queueMutex);
        m_waitingQueue.push_back(GroupValue(row, CFirmwarePageModel::groupNameRole).toString());
    }
    OnStart();
    setPageStatus(Working);
    emit started();
}

int CFirmwarePageCtrl::GroupRow(const QString& name) const
{
    if (m_pageModel->rowCount() == 0)
        return -1;
    const QModelIndexList hits =
        m_pageModel->match(m_pageModel->index(0, 0), CFirmwarePageModel::groupNameRole, name, 1,
                           Qt::MatchFixedString | Qt::MatchCaseSensitive | Qt::MatchWrap);
    return hits.isEmpty() ? -1 : hits.first().row();
}

void CFirmwarePageCtrl::OnStart()
{
    if (m_upgradeCtrl->IsWorking())
        return;
    QString name;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_waitingQueue.empty()) {
            lock.unlock();
            emit completed();
            if (!IsLeaving())
                setPageStatus(Finished);
            return;
        }
        name = m_waitingQueue.front();
    }
    const int row = GroupRow(name);
    if (row < 0)
        return;
    const QString firmwareModel = GroupValue(row, CFirmwarePageModel::firmwareModelRole).toString();
    const QString model = GroupValue(row, CFirmwarePageModel::modelRole).toString();
    const QString path = GroupValue(row, CFirmwarePageModel::firmwarePathRole).toString();
    if (path.isEmpty())
        return;
    if (m_upgradeCtrl->Start(model, firmwareModel, path))
        SetGroupValue(row, CFirmwarePageModel::statusRole, int(Working));
    else
        emit startFailed(0);
}

int CFirmwarePageCtrl::CountGroupErrors(int row) const
{
    const QString model = GroupValue(row, CFirmwarePageModel::modelRole).toString();
    QAbstractItemModel* layer = StatusLayer();
    int errors = 0;
    for (int i = 0; i < layer->rowCount(); ++i) {
        const QModelIndex index = layer->index(i, 0);
        if (index.data(CDeviceInfo::modelRole).toString().compare(model, Qt::CaseInsensitive) != 0)
            continue;
        if (CSetDevicesCtrl::StatusOf(index, statusKey()) !=
            CCorvaneTableStatus::FirmwarePage_Success)
            ++errors;
    }
    return errors;
}

void CFirmwarePageCtrl::CopyFirmwareBack()
{
    if (!m_mainCtrl)
        return;
    const QList<int> copied = CopiedRows();
    const QAbstractItemModel* model = PageList();
    for (int i = 0; i < model->rowCount() && i < copied.size(); ++i) {
        const QModelIndex index = model->index(i, 0);
        m_mainCtrl->setProperty(copied[i], QStringLiteral("firmwareRole"),
                                index.data(CDeviceInfo::firmwareRole));
        m_mainCtrl->setProperty(copied[i], QStringLiteral("firmwareInfoRole"),
                                index.data(CDeviceInfo::firmwareInfoRole));
    }
}

void CFirmwarePageCtrl::OnCtrlComplete()
{
    QString name;
    {
        QMutexLocker lock(&m_queueMutex);
        if (!m_waitingQueue.empty()) {
            name = m_waitingQueue.front();
            m_waitingQueue.pop_front();
        }
    }
    const int row = GroupRow(name);
    if (row < 0)
        return;
    SetGroupValue(row, CFirmwarePageModel::statusRole, int(Finished));
    SetGroupValue(row, CFirmwarePageModel::errorCountRole, CountGroupErrors(row));
    if (const std::shared_ptr<CFirmwarePageInfo> record = m_pageModel->recordAt(row))
        record->failedDevicesModel()->refresh();
    RefreshFailedModel();
    CopyFirmwareBack();
    if (IsLeaving()) {
        {
            QMutexLocker lock(&m_queueMutex);
            m_waitingQueue.clear();
        }
        emit completed();
        return;
    }
    if (m_needRemoveAfter && GroupValue(row, CFirmwarePageModel::statusRole).toInt() == Finished &&
        GroupValue(row, CFirmwarePageModel::errorCountRole).toInt() < 1 &&
        m_pageModel->rowCount() > 1)
        m_pageModel->removeRows(row, 1);
    OnStart();
}

void CFirmwarePageCtrl::cancelWaiting(int iPageModelRow)
{
    const int status = GroupValue(iPageModelRow, CFirmwarePageModel::statusRole).toInt();
    const QString name = GroupValue(iPageModelRow, CFirmwarePageModel::groupNameRole).toString();
    if (status == Waiting) {
        if (!RemoveListWaitingGroup(name)) {
            qDebug().noquote() << "Cannot remove group" << name;
            return;
        }
    } else if (status != Loading) {
        qDebug() << "Cannot cancel a group which is neither waiting nor loading";
        return;
    }
    SetGroupValue(iPageModelRow, CFirmwarePageModel::statusRole, int(Nothing));
    m_upgradeCtrl->ClearModelStatus(
        GroupValue(iPageModelRow, CFirmwarePageModel::modelRole).toString());
}

bool CFirmwarePageCtrl::RemoveListWaitingGroup(const QString& name)
{
    QMutexLocker lock(&m_queueMutex);
    for (auto it = m_waitingQueue.begin(); it != m_waitingQueue.end(); ++it) {
        if (*it == name) {
            m_waitingQueue.erase(it);
            return true;
        }
    }
    qDebug().noquote() << "CFirmwarePageCtrl::RemoveListWaitingGroup error: Group" << name
                       << "is not waiting";
    return false;
}

int CFirmwarePageCtrl::GroupProgress(int row) const
{
    const int n = GroupValue(row, CFirmwarePageModel::countRole).toInt();
    if (n < 1)
        return 0;
    const QVariantList rows = GroupValue(row, CFirmwarePageModel::rowNumListRole).toList();
    if (rows.isEmpty())
        return 50;
    int notUploaded = 0, uploaded = 0, verified = 0, other = 0;
    QAbstractItemModel* layer = StatusLayer();
    for (const QVariant& sourceRow : rows) {
        const int status =
            CSetDevicesCtrl::StatusOf(layer->index(sourceRow.toInt(), 0), statusKey());
        if (status == -1 || status == CCorvaneTableStatus::FirmwarePage_Loading)
            ++notUploaded;
        else if (status == CCorvaneTableStatus::FirmwarePage_Uploaded)
            ++uploaded;
        else if (status == CCorvaneTableStatus::FirmwarePage_Success)
            ++verified;
        else
            ++other;
    }
    // The first half of the bar is the upload, the second the devices coming back.
    if (notUploaded > 0)
        return (uploaded + verified + other) * 50 / n;
    return verified * 50 / n + 50;
}

void CFirmwarePageCtrl::OnDeviceStatusChange(const QModelIndex&, const QModelIndex&,
                                             const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CDeviceInfo::statusRole))
        return;
    QString name;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_waitingQueue.empty())
            return;
        name = m_waitingQueue.front();
    }
    const int row = GroupRow(name);
    if (row >= 0)
        SetGroupValue(row, CFirmwarePageModel::progressRole, GroupProgress(row));
}

void CFirmwarePageCtrl::OnPageModelDataChanged(const QModelIndex&, const QModelIndex&,
                                               const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CFirmwarePageModel::statusRole))
        return;
    bool available = false;
    for (int row = 0; row < m_pageModel->rowCount() && !available; ++row)
        available = GroupValue(row, CFirmwarePageModel::statusRole).toInt() == Loading;
    SetApplyButtonAvailable(available);
}
