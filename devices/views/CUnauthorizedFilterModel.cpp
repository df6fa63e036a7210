#include "CUnauthorizedFilterModel.h"

#include "CDeviceInfo.h"

namespace {
constexpr int kAuthorized = 104;
}

CUnauthorizedFilterModel::CUnauthorizedFilterModel(QObject* parent)
    : CDeviceSubsetFilterModel(parent)
{}

bool CUnauthorizedFilterModel::filterAcceptsRow(int sourceRow,
                                                const QModelIndex& sourceParent) const
{
    bool held = false;
    if (holdsMembership(sourceRow, sourceParent, &held))
        return held;
    const QAbstractItemModel* source = sourceModel();
    if (!source)
        return false;
    const QModelIndex idx = source->index(sourceRow, 0, sourceParent);
    return idx.data(CDeviceInfo::selectedRole).toBool() &&
           idx.data(CDeviceInfo::statusRole).toInt() != kAuthorized;
}

QVector<int> CUnauthorizedFilterModel::watchedRoles() const
{
    return {CDeviceInfo::selectedRole, CDeviceInfo::statusRole};
}
