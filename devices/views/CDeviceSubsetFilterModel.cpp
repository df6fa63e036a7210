#include "CDeviceSubsetFilterModel.h"

#include "CDeviceSortFilterModel.h"

CDeviceSubsetFilterModel::CDeviceSubsetFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(false);
}

void CDeviceSubsetFilterModel::setSourceModel(QAbstractItemModel* newSource)
{
    for (const QMetaObject::Connection& connection : m_sourceConnections)
        disconnect(connection);
    m_sourceConnections.clear();
    QSortFilterProxyModel::setSourceModel(newSource);
    if (!newSource)
        return;
    if (auto* view = qobject_cast<CDeviceSortFilterModel*>(newSource)) {
        m_sourceConnections << connect(view, &CDeviceSortFilterModel::countChanged, this,
                                       &CDeviceSubsetFilterModel::countChanged,
                                       Qt::QueuedConnection);
    }
    m_sourceConnections << connect(newSource, &QAbstractItemModel::dataChanged, this,
                                   &CDeviceSubsetFilterModel::OnSourceDataChanged);
}

void CDeviceSubsetFilterModel::resetFilter()
{
    const int before = rowCount();
    invalidateFilter();
    if (rowCount() != before)
        emit countChanged();
}

void CDeviceSubsetFilterModel::OnSourceDataChanged(const QModelIndex& topLeft,
                                                   const QModelIndex& bottomRight,
                                                   const QVector<int>& roles)
{
    Q_UNUSED(topLeft)
    Q_UNUSED(bottomRight)
    const QVector<int> watched = watchedRoles();
    for (int role : roles) {
        if (watched.contains(role)) {
            resetFilter();
            return;
        }
    }
}
