#include "CZapkLicenseDeviceProxyModel.h"

CZapkLicenseDeviceProxyModel::CZapkLicenseDeviceProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{}

void CZapkLicenseDeviceProxyModel::setRows(const QVector<int>& rows)
{
    m_rows = rows;
    invalidateFilter();
}

void CZapkLicenseDeviceProxyModel::setAcceptAll(bool all)
{
    m_acceptAll = all;
    invalidateFilter();
}

bool CZapkLicenseDeviceProxyModel::filterAcceptsRow(int sourceRow,
                                                    const QModelIndex& sourceParent) const
{
    if (!sourceModel() || sourceRow < 0 || sourceRow >= sourceModel()->rowCount(sourceParent))
        return false;
    return m_acceptAll || m_rows.contains(sourceRow);
}
