#include "CFirmwarePageModel.h"

#include "CFirmwareDevicesProxyModel.h"
#include "CFirmwarePageInfo.h"
#include "CStatusMapFilterModel.h"

CFirmwarePageModel::CFirmwarePageModel(QObject* parent) : QAbstractListModel(parent) {}

CFirmwarePageModel::~CFirmwarePageModel() = default;

std::shared_ptr<CFirmwarePageInfo> CFirmwarePageModel::recordAt(int row) const
{
    if (row < 0 || size_t(row) >= m_records.size())
        return nullptr;
    return m_records[size_t(row)];
}

int CFirmwarePageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

QVariant CFirmwarePageModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const std::shared_ptr<CFirmwarePageInfo> record = recordAt(index.row());
    if (!record)
        return {};
    switch (role) {
    case modelRole:
        return record->model;
    case firmwarePathRole:
        return record->firmwarePath;
    case countRole:
        return record->count;
    case statusRole:
        return record->status;
    case errorCountRole:
        return record->errorCount;
    case statusIndexRole:
        return QStringLiteral("firmware");
    case progressRole:
        return record->progress;
    case rowNumListRole:
        return record->rowList;
    case devicesModelRole:
        return QVariant::fromValue<QObject*>(record->devicesModel());
    case failedDevicesModelRole:
        return QVariant::fromValue<QObject*>(record->failedDevicesModel());
    case groupNameRole:
        return record->groupName;
    case firmwareModelRole:
        return record->firmwareModel;
    case filenameRole:
        return record->fileName;
    default:
        return {};
    }
}

bool CFirmwarePageModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    const std::shared_ptr<CFirmwarePageInfo> record = recordAt(index.row());
    if (!record)
        return false;
    switch (role) {
    case modelRole:
        record->model = value.toString();
        break;
    case firmwarePathRole:
        record->firmwarePath = value.toString();
        break;
    case countRole:
        record->count = value.toInt();
        break;
    case statusRole:
        record->status = value.toInt();
        break;
    case errorCountRole:
        record->errorCount = value.toInt();
        break;
    case progressRole:
        record->progress = value.toInt();
        break;
    case rowNumListRole:
        record->rowList = value.toList();
        break;
    case groupNameRole:
        record->groupName = value.toString();
        break;
    case firmwareModelRole:
        record->firmwareModel = value.toString();
        break;
    case filenameRole:
        record->fileName = value.toString();
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    if (role == errorCountRole)
        RecountFailedGroups();
    return true;
}

Qt::ItemFlags CFirmwarePageModel::flags(const QModelIndex& index) const
{
    // The root of a list carries no flags; views and model testers rely on that.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QHash<int, QByteArray> CFirmwarePageModel::roleNames() const
{
    return {{modelRole, "modelRole"},
            {firmwarePathRole, "firmwarePathRole"},
            {countRole, "countRole"},
            {statusRole, "statusRole"},
            {errorCountRole, "errorCountRole"},
            {statusIndexRole, "statusIndexRole"},
            {progressRole, "progressRole"},
            {rowNumListRole, "rowNumListRole"},
            {devicesModelRole, "devicesModelRole"},
            {failedDevicesModelRole, "failedDevicesModelRole"},
            {groupNameRole, "groupNameRole"},
            {firmwareModelRole, "firmwareModelRole"},
            {filenameRole, "filenameRole"}};
}

bool CFirmwarePageModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_records.erase(m_records.begin() + row, m_records.begin() + row + count);
    endRemoveRows();
    emit countChanged();
    RecountFailedGroups();
    return true;
}

void CFirmwarePageModel::ResetList(std::deque<std::shared_ptr<CFirmwarePageInfo>> deviceList)
{
    if (!m_records.empty()) {
        beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
        m_records.clear();
        endRemoveRows();
        emit countChanged();
        RecountFailedGroups();
    }
    if (!deviceList.empty()) {
        beginInsertRows(QModelIndex(), 0, int(deviceList.size()) - 1);
        m_records = std::move(deviceList);
        endInsertRows();
        emit countChanged();
        RecountFailedGroups();
    }
}

void CFirmwarePageModel::RecountFailedGroups()
{
    int failed = 0;
    for (const auto& record : m_records) {
        if (record && record->errorCount != 0)
            ++failed;
    }
    if (failed == m_numFailedGroup)
        return;
    m_numFailedGroup = failed;
    emit numFailedGroupChanged();
}
