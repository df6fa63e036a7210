#include "CSimpleModel.h"

namespace {
constexpr int kLastShownRole = CDeviceInfo::cameraModelNameRole;
}

CSimpleModel::CSimpleModel(const QString& name, QObject* parent)
    : QAbstractListModel(parent), m_name(name)
{
    for (int i = 0; i < 10; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->model = name;
        device->ip = QStringLiteral("172.1.1.") + QString::number(i);
        device->mac = QStringLiteral("MAC");
        device->firmware = QStringLiteral("100f");
        m_records.push_back(std::move(device));
    }
}

int CSimpleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

QVariant CSimpleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() < 0 ||
        size_t(index.row()) >= m_records.size() || role < CDeviceInfo::firstFieldRole ||
        role > kLastShownRole)
        return QVariant();
    const auto& record = m_records[size_t(index.row())];
    return record ? record->value(role) : QVariant();
}

QHash<int, QByteArray> CSimpleModel::roleNames() const
{
    QHash<int, QByteArray> names;
    for (int role = CDeviceInfo::firstFieldRole; role <= kLastShownRole; ++role)
        names.insert(role, roleNameOf(role));
    return names;
}

void CSimpleModel::resetList(const std::deque<std::shared_ptr<CDeviceInfo>>& records)
{
    if (!m_records.empty()) {
        beginRemoveRows(QModelIndex(), 0, int(m_records.size()) - 1);
        m_records.clear();
        endRemoveRows();
    }
    if (!records.empty()) {
        beginInsertRows(QModelIndex(), 0, int(records.size()) - 1);
        m_records.assign(records.begin(), records.end());
        endInsertRows();
    }
}
