#include "CNeedPasswordFilterModel.h"

#include "CDeviceInfo.h"

namespace {
constexpr int kNeedsFirstPassword = 108;
}

CNeedPasswordFilterModel::CNeedPasswordFilterModel(QObject* parent)
    : CDeviceSubsetFilterModel(parent)
{}

bool CNeedPasswordFilterModel::filterAcceptsRow(int sourceRow,
                                                const QModelIndex& sourceParent) const
{
    bool held = false;
    if (holdsMembership(sourceRow, sourceParent, &held))
        return held;
    const QAbstractItemModel* source = sourceModel();
    if (!source)
        return false;
    const QVariant status = source->index(sourceRow, 0, sourceParent).data(CDeviceInfo::statusRole);
    return status.isValid() && status.toInt() == kNeedsFirstPassword;
}

QVector<int> CNeedPasswordFilterModel::watchedRoles() const
{
    return {CDeviceInfo::statusRole};
}
