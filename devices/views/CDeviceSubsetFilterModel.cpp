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
    m_holding = false;
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
                                   Qt::QueuedConnection)
                            << connect(view, &CDeviceSortFilterModel::batchWriteStarted, this,
                                       &CDeviceSubsetFilterModel::OnBatchWriteStarted)
                            << connect(view, &CDeviceSortFilterModel::batchWriteFinished, this,
                                       &CDeviceSubsetFilterModel::OnBatchWriteFinished);
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
    bool relevant = roles.isEmpty();
    for (int i = 0; !relevant && i < roles.size(); ++i)
        relevant = watched.contains(roles.at(i));
    if (!relevant)
        return;
    if (m_holding) {
        m_watchedRoleChanged = true;
        return;
    }
    announceCountChange();
}

bool CDeviceSubsetFilterModel::holdsMembership(int sourceRow, const QModelIndex& sourceParent,
                                               bool* accepted) const
{
    if (!m_holding)
        return false;
    *accepted = !sourceParent.isValid() && sourceRow >= 0 &&
                size_t(sourceRow) < m_heldMembers.size() && m_heldMembers[size_t(sourceRow)];
    return true;
}

void CDeviceSubsetFilterModel::OnBatchWriteStarted()
{
    // A snapshot rather than asking the mapping: the proxy may rebuild its mapping at any time,
    // and doing so calls filterAcceptsRow.
    const QAbstractItemModel* source = sourceModel();
    m_heldMembers.assign(size_t(source ? source->rowCount() : 0), false);
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        const int sourceRow = mapToSource(index(row, 0)).row();
        if (sourceRow >= 0 && size_t(sourceRow) < m_heldMembers.size())
            m_heldMembers[size_t(sourceRow)] = true;
    }
    m_holding = true;
    m_watchedRoleChanged = false;
}

void CDeviceSubsetFilterModel::OnBatchWriteFinished()
{
    if (!m_holding)
        return;
    m_holding = false;
    m_heldMembers.clear();
    if (m_watchedRoleChanged) {
        m_watchedRoleChanged = false;
        invalidateFilter();
    }
    announceCountChange();
}
