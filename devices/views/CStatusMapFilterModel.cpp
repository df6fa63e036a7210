#include "CStatusMapFilterModel.h"

#include "CDeviceInfo.h"

CStatusMapFilterModel::CStatusMapFilterModel(QObject* parent) : CStatusMapSortModel(parent) {}

void CStatusMapFilterModel::refresh()
{
    refilter();
    emit countChanged();
}

bool CStatusMapFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QAbstractItemModel* source = sourceModel();
    if (!source || sourceRow < 0 || sourceRow >= source->rowCount(sourceParent))
        return false;
    const QVariant status = source->index(sourceRow, 0, sourceParent).data(CDeviceInfo::statusRole);
    bool found = false;
    const int code = statusCodeOf(status, &found);
    if (!found)
        return false;
    return m_acceptAny || m_acceptedStatuses.contains(code);
}
