#include "CStatusMapSortModel.h"

#include "CDeviceInfo.h"

namespace {

bool isMap(const QVariant& value)
{
    const int type = value.userType();
    return type == QMetaType::QVariantMap || type == QMetaType::QVariantHash;
}

} // namespace

CStatusMapSortModel::CStatusMapSortModel(QObject* parent) : CDeviceSortFilterModel(parent) {}

void CStatusMapSortModel::setStatusKey(const QString& key)
{
    if (m_statusKey == key)
        return;
    m_statusKey = key;
    emit statusKeyChanged();
}

int CStatusMapSortModel::statusCodeOf(const QVariant& statusValue, bool* found) const
{
    if (found)
        *found = false;
    if (!isMap(statusValue))
        return -1;
    const QVariantMap map = statusValue.toMap();
    const auto it = map.constFind(m_statusKey);
    if (it == map.constEnd())
        return -1;
    if (found)
        *found = true;
    return it->toInt();
}

bool CStatusMapSortModel::valueLessThan(const QVariant& left, const QVariant& right) const
{
    if (sortRole() != CDeviceInfo::statusRole || !isMap(left) || !isMap(right))
        return CDeviceSortFilterModel::valueLessThan(left, right);
    bool leftFound = false;
    bool rightFound = false;
    const int leftCode = statusCodeOf(left, &leftFound);
    const int rightCode = statusCodeOf(right, &rightFound);
    if (!leftFound || !rightFound)
        return false;
    return leftCode < rightCode;
}
