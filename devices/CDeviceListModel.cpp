#include "CDeviceListModel.h"

#include <algorithm>
#include <vector>

namespace {

// Null records carry nothing a row could show or be found by, so the slots leave them out.
void dropNullRecords(std::deque<std::shared_ptr<CDeviceInfo>>& list)
{
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

} // namespace

CDeviceListModel::CDeviceListModel(QObject* parent) : QAbstractListModel(parent) {}

CDeviceListModel::~CDeviceListModel() = default;

int CDeviceListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_devices.size());
}

bool CDeviceListModel::isValidRow(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.column() == 0 && index.row() >= 0 &&
           size_t(index.row()) < m_devices.size() && m_devices[size_t(index.row())];
}

QVariant CDeviceListModel::data(const QModelIndex& index, int role) const
{
    if (!isValidRow(index))
        return QVariant();
    return m_devices[size_t(index.row())]->value(role);
}

bool CDeviceListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!isValidRow(index) || !CDeviceInfo::isFieldRole(role))
        return false;
    m_devices[size_t(index.row())]->setValue(role, value);
    // Deliberately no comparison with the old value: every write is announced.
    emit dataChanged(index, index, {role});
    return true;
}

QMap<int, QVariant> CDeviceListModel::itemData(const QModelIndex& index) const
{
    QMap<int, QVariant> roles = QAbstractListModel::itemData(index);
    if (!isValidRow(index))
        return roles;
    const CDeviceInfo& device = *m_devices[size_t(index.row())];
    for (int role = CDeviceInfo::firstFieldRole; role <= CDeviceInfo::lastFieldRole; ++role)
        roles.insert(role, device.value(role));
    return roles;
}

bool CDeviceListModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > rowCount())
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    std::vector<std::shared_ptr<CDeviceInfo>> fresh;
    fresh.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        fresh.push_back(std::make_shared<CDeviceInfo>());
    m_devices.insert(m_devices.begin() + row, fresh.begin(), fresh.end());
    endInsertRows();
    return true;
}

bool CDeviceListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_devices.erase(m_devices.begin() + row, m_devices.begin() + row + count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags CDeviceListModel::flags(const QModelIndex& index) const
{
    // The root is not an item; every row is enabled and editable.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QHash<int, QByteArray> CDeviceListModel::roleNames() const
{
    return deviceFieldRoleNames();
}

void CDeviceListModel::removeMatching(int role, const QVariant& value)
{
    if (m_devices.empty())
        return;
    const QModelIndexList hits =
        match(index(0, 0), role, value, -1, Qt::MatchStartsWith | Qt::MatchWrap);
    std::vector<int> rows;
    rows.reserve(size_t(hits.size()));
    for (const QModelIndex& hit : hits)
        rows.push_back(hit.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // Remove runs of consecutive rows from the last run to the first, so the row numbers of the
    // runs not yet removed stay valid.
    size_t end = rows.size();
    while (end > 0) {
        size_t start = end - 1;
        while (start > 0 && rows[start - 1] + 1 == rows[start])
            --start;
        removeRows(rows[start], int(end - start));
        end = start;
    }
}

void CDeviceListModel::setAddress(int row, const QString& text)
{
    const QModelIndex idx = index(row, 0);
    if (!idx.isValid())
        return;
    const int role = text.startsWith(QLatin1String("169.254"), Qt::CaseSensitive)
                         ? CDeviceInfo::aliasIpRole
                         : CDeviceInfo::ipRole;
    setData(idx, text, role);
}

std::shared_ptr<CDeviceInfo> CDeviceListModel::deviceAt(int row) const
{
    if (row < 0 || size_t(row) >= m_devices.size())
        return nullptr;
    return m_devices[size_t(row)];
}

int CDeviceListModel::findRow(const QString& ip, quint16 httpPort) const
{
    for (size_t i = 0; i < m_devices.size(); ++i) {
        const auto& device = m_devices[i];
        if (device && device->httpPort == httpPort && device->ip == ip)
            return int(i);
    }
    return -1;
}

void CDeviceListModel::insertFront(std::deque<std::shared_ptr<CDeviceInfo>>& deviceList)
{
    if (deviceList.empty())
        return;
    beginInsertRows(QModelIndex(), 0, int(deviceList.size()) - 1);
    m_devices.insert(m_devices.begin(), deviceList.begin(), deviceList.end());
    endInsertRows();
}

void CDeviceListModel::ResetList(std::deque<std::shared_ptr<CDeviceInfo>> deviceList)
{
    dropNullRecords(deviceList);
    if (!m_devices.empty()) {
        beginRemoveRows(QModelIndex(), 0, int(m_devices.size()) - 1);
        m_devices.clear();
        endRemoveRows();
    }
    if (!deviceList.empty()) {
        beginInsertRows(QModelIndex(), 0, int(deviceList.size()) - 1);
        m_devices = std::move(deviceList);
        endInsertRows();
    }
}

void CDeviceListModel::PushFrontToList(std::deque<std::shared_ptr<CDeviceInfo>> deviceList)
{
    dropNullRecords(deviceList);
    insertFront(deviceList);
}

void CDeviceListModel::PushFrontIfNotExist(std::deque<std::shared_ptr<CDeviceInfo>> deviceList)
{
    dropNullRecords(deviceList);
    // Incoming records are compared only with the rows already listed, not with each other.
    std::deque<std::shared_ptr<CDeviceInfo>> kept;
    for (auto& device : deviceList) {
        if (findRow(device->ip, device->httpPort) < 0)
            kept.push_back(std::move(device));
    }
    insertFront(kept);
}

void CDeviceListModel::PushBackRemoveExist(std::deque<std::shared_ptr<CDeviceInfo>> deviceList)
{
    dropNullRecords(deviceList);
    for (const auto& device : deviceList) {
        const int row = findRow(device->ip, device->httpPort);
        if (row >= 0)
            removeRows(row, 1);
    }
    if (deviceList.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(deviceList.size()) - 1);
    m_devices.insert(m_devices.end(), deviceList.begin(), deviceList.end());
    endInsertRows();
}

void CDeviceListModel::appendDevice(std::shared_ptr<CDeviceInfo> device)
{
    if (!device)
        return;
    for (size_t i = 0; i < m_devices.size(); ++i) {
        if (m_devices[i] && m_devices[i]->mac == device->mac) {
            const int row = int(i);
            // Writing the old address first and the new one second leaves ip = the normal address
            // and aliasIp = the link-local one, whichever of the two answered first.
            const QString oldIp = m_devices[i]->ip;
            setAddress(row, oldIp);
            setAddress(row, device->ip);
            return;
        }
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_devices.push_back(std::move(device));
    endInsertRows();
}
