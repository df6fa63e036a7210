#include "CDeviceSubsetFilterModel.h"

#include "CDeviceSortFilterModel.h"

CDeviceSubsetFilterModel::CDeviceSubsetFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

void CDeviceSubsetFilterModel::setSourceModel(QAbstractItemModel* newSource)
{
    for (const QMetaObject::Connection& connection : m_sourceConnections)
        disconnect(connection);
    m_sourceConnections.clear();
    QSortFilterProxyModel::setSourceModel(newSource);
    m_announcedCount = rowCount();
    if (!newSource)
        return;
    if (auto* view = qobject_cast<CDeviceSortFilterModel*>(newSource)) {
        // The view's count changes when it re-filters or its rows change; this subset's rows may
        // have changed with it.
        m_sourceConnections << connect(
            view, &CDeviceSortFilterModel::countChanged, this,
            [this] {
                m_announcedCount = rowCount();
                emit countChanged();
            },
            Qt::QueuedConnection);
    }
    m_sourceConnections << connect(newSource, &QAbstractItemModel::dataChanged, this,
                                   &CDeviceSubsetFilterModel::OnSourceDataChanged);
}

void CDeviceSubsetFilterModel::announceCountChange()
{
    if (rowCount() == m_announcedCount)
        return;
    m_announcedCount = rowCount();
    emit countChanged();
}

void CDeviceSubsetFilterModel::resetFilter()
{
    invalidateFilter();
    announceCountChange();
}

void CDeviceSubsetFilterModel::OnSourceDataChanged(const QModelIndex& topLeft,
                                                   const QModelIndex& bottomRight,
                                                   const QVector<int>& roles)
{
    Q_UNUSED(topLeft)
    Q_UNUSED(bottomRight)
    // The changed rows were already re-examined by the proxy itself, which hears of the change
    // before this slot does.
    const QVector<int> watched = watchedRoles();
    if (roles.isEmpty()) {
        announceCountChange();
        return;
    }
    for (int role : roles) {
        if (watched.contains(role)) {
            announceCountChange();
            return;
        }
    }
}
