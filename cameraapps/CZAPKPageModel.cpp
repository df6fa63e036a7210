#include "CZAPKPageModel.h"

#include "CDeviceInfo.h"

#include <QVariantMap>

namespace {
const QString kSortKey = QStringLiteral("zapk");
}

CZAPKPageModel::CZAPKPageModel(QObject* parent) : CDeviceSortFilterModel(parent) {}

void CZAPKPageModel::setPackageName(const QString& name)
{
    m_packageName = name;
    refilter();
}

bool CZAPKPageModel::acceptsWords(const QModelIndex& index) const
{
    if (!m_packageName.isEmpty() &&
        index.data(CDeviceInfo::zapkNameRole).toString() != m_packageName)
        return false;
    const int fields[] = {CDeviceInfo::modelRole,    CDeviceInfo::ipRole,
                          CDeviceInfo::macRole,      CDeviceInfo::firmwareRole,
                          CDeviceInfo::zapkNameRole, CDeviceInfo::zapkVerRole};
    for (const QString& word : filterWords()) {
        bool found = false;
        for (int role : fields) {
            if (index.data(role).toString().contains(word, Qt::CaseInsensitive)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool CZAPKPageModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (sortRole() != CDeviceInfo::statusRole)
        return CDeviceSortFilterModel::lessThan(left, right);
    const QVariantMap a = left.data(CDeviceInfo::statusRole).toMap();
    const QVariantMap b = right.data(CDeviceInfo::statusRole).toMap();
    if (!a.contains(kSortKey) || !b.contains(kSortKey))
        return false;
    return a.value(kSortKey).toInt() < b.value(kSortKey).toInt();
}
