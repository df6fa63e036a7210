#include "CFirmwareDevicesProxyModel.h"

#include "CDeviceInfo.h"

CFirmwareDevicesProxyModel::CFirmwareDevicesProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    // Groups are cut from one sort made on entering the page; a status write must not reorder
    // the rows under the group lists.
    setDynamicSortFilter(false);
}

void CFirmwareDevicesProxyModel::setShowAll(bool showAll)
{
    m_showAll = showAll;
    invalidateFilter();
    emit countChanged();
}

void CFirmwareDevicesProxyModel::setRows(const QVariantList& rows)
{
    m_rows = rows;
    invalidateFilter();
    emit countChanged();
}

void CFirmwareDevicesProxyModel::sortGroups(Qt::SortOrder order)
{
    if (rowCount() < 1)
        return;
    m_groupSort = true;
    sort(0, order);
    m_groupSort = false;
}

void CFirmwareDevicesProxyModel::setSourceModel(QAbstractItemModel* sourceModel)
{
    for (const QMetaObject::Connection& connection : qAsConst(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    QSortFilterProxyModel::setSourceModel(sourceModel);
    if (sourceModel) {
        m_sourceConnections.append(connect(sourceModel, &QAbstractItemModel::rowsInserted, this,
                                           &CFirmwareDevicesProxyModel::countChanged));
        m_sourceConnections.append(connect(sourceModel, &QAbstractItemModel::rowsRemoved, this,
                                           &CFirmwareDevicesProxyModel::countChanged));
    }
    emit countChanged();
}

bool CFirmwareDevicesProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return m_showAll || m_rows.contains(sourceRow);
}

bool CFirmwareDevicesProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!m_groupSort)
        return QSortFilterProxyModel::lessThan(left, right);
    const QString leftModel = left.data(CDeviceInfo::modelRole).toString();
    const QString rightModel = right.data(CDeviceInfo::modelRole).toString();
    if (leftModel == rightModel)
        return left.data(CDeviceInfo::firmwareRole).toString() <
               right.data(CDeviceInfo::firmwareRole).toString();
    return leftModel < rightModel;
}
