#include "CAssignIpPageFilterModel.h"

#include "AddressHelpers.h"
#include "CDeviceInfo.h"

CAssignIpPageFilterModel::CAssignIpPageFilterModel(QObject* parent) : CDeviceSortFilterModel(parent)
{}

bool CAssignIpPageFilterModel::acceptsWords(const QModelIndex& index) const
{
    const QStringList words = filterWords();
    if (words.isEmpty())
        return true;
    const int row = index.row();
    const QString fields[] = {
        sourceValue(row, CDeviceInfo::modelRole).toString(),
        sourceValue(row, CDeviceInfo::ipRole).toString(),
        sourceValue(row, CDeviceInfo::macRole).toString(),
        sourceValue(row, CDeviceInfo::firmwareRole).toString(),
        sourceValue(row, CDeviceInfo::newIpRole).toString(),
    };
    for (const QString& word : words) {
        bool found = false;
        for (const QString& field : fields) {
            if (field.contains(word, Qt::CaseInsensitive)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool CAssignIpPageFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (sortRole() != CDeviceInfo::newIpRole)
        return CDeviceSortFilterModel::lessThan(left, right);
    const QString leftText = sourceValue(left.row(), CDeviceInfo::newIpRole).toString();
    const QString rightText = sourceValue(right.row(), CDeviceInfo::newIpRole).toString();
    quint32 l = 0;
    quint32 r = 0;
    const bool leftValid = parseIPv4(leftText, &l);
    const bool rightValid = parseIPv4(rightText, &r);
    if (leftValid && rightValid)
        return l < r;
    // Rows without a new address sort before those with one.
    if (leftValid != rightValid)
        return rightValid;
    return leftText < rightText;
}
