#include "CZapkLicensePageModel.h"

#include "CStatusMapFilterModel.h"
#include "CZapkLicenseDeviceProxyModel.h"
#include "CZapkLicensePageInfo.h"

CZapkLicensePageModel::CZapkLicensePageModel(QObject* parent) : QAbstractListModel(parent) {}

CZapkLicensePageModel::~CZapkLicensePageModel() = default;

std::shared_ptr<CZapkLicensePageInfo> CZapkLicensePageModel::recordAt(int row) const
{
    if (row < 0 || size_t(row) >= m_records.size())
        return nullptr;
    return m_records[size_t(row)];
}

int CZapkLicensePageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

QVariant CZapkLicensePageModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const std::shared_ptr<CZapkLicensePageInfo> record = recordAt(index.row());
    if (!record)
        return {};
    switch (role) {
    case fileStartIndexRole:
        return record->fileStartIndex;
    case fileEndIndexRole:
        return record->fileEndIndex;
    case fileDescriptionRole:
        return record->fileDescription;
    case countRole:
        return record->count;
    case statusRole:
        return record->status;
    case errorCountRole:
        return record->errorCount;
    case statusIndexRole:
        return record->statusIndex;
    case progressRole:
        return record->progress;
    case devicesModelRole:
        return QVariant::fromValue<QObject*>(record->devicesModel());
    case failedDevicesModelRole:
        return QVariant::fromValue<QObject*>(record->failedDevicesModel());
    default:
        return {};
    }
}

bool CZapkLicensePageModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    const std::shared_ptr<CZapkLicensePageInfo> record = recordAt(index.row());
    if (!record)
        return false;
    switch (role) {
    case fileStartIndexRole:
        record->fileStartIndex = value.toInt();
        break;
    case fileEndIndexRole:
        record->fileEndIndex = value.toInt();
        break;
    case fileDescriptionRole:
        record->fileDescription = value.toString();
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
    case statusIndexRole:
        record->statusIndex = value.toString();
        break;
    case progressRole:
        record->progress = value.toInt();
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    if (role == errorCountRole)
        RecountFailedGroups();
    return true;
}

Qt::ItemFlags CZapkLicensePageModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QHash<int, QByteArray> CZapkLicensePageModel::roleNames() const
{
    return {{fileStartIndexRole, "fileStartIndexRole"},
            {fileEndIndexRole, "fileEndIndexRole"},
            {fileDescriptionRole, "fileDescriptionRole"},
            {countRole, "countRole"},
            {statusRole, "statusRole"},
            {errorCountRole, "errorCountRole"},
            {statusIndexRole, "statusIndexRole"},
            {progressRole, "progressRole"},
            {devicesModelRole, "devicesModelRole"},
            {failedDevicesModelRole, "failedDevicesModelRole"}};
}

bool CZapkLicensePageModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > rowCount())
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_records.insert(m_records.begin() + row, std::make_shared<CZapkLicensePageInfo>());
    endInsertRows();
    emit countChanged();
    return true;
}

bool CZapkLicensePageModel::removeRows(int row, int count, const QModelIndex& parent)
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

void CZapkLicensePageModel::clear()
{
    if (m_records.empty())
        return;
    beginResetModel();
    m_records.clear();
    endResetModel();
    emit countChanged();
    RecountFailedGroups();
}

void CZapkLicensePageModel::RecountFailedGroups()
{
    int failed = 0;
    for (const auto& record : m_records) {
        if (record->errorCount != 0)
            ++failed;
    }
    if (failed == m_numFailedGroup)
        return;
    m_numFailedGroup = failed;
    emit numFailedGroupChanged();
}
