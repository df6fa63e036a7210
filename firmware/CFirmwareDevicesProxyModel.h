#pragma once

#include <QPointer>
#include <QSortFilterProxyModel>
#include <QVariantList>

// A view of the firmware page's devices: all of them, or the rows of one model group. It also
// sorts the page's devices into groups (by model, then by firmware) when the page is entered.
class CFirmwareDevicesProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    explicit CFirmwareDevicesProxyModel(QObject* parent = nullptr);

    int count() const { return rowCount(); }
    bool showAll() const { return m_showAll; }
    QVariantList rows() const { return m_rows; }

    void setShowAll(bool showAll);
    void setRows(const QVariantList& rows);
    // Sorts once by model name and firmware; the order stays until the next call.
    void sortGroups(Qt::SortOrder order);
    void setSourceModel(QAbstractItemModel* sourceModel) override;

signals:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool m_showAll = false;
    QVariantList m_rows;
    bool m_groupSort = false;
    QList<QMetaObject::Connection> m_sourceConnections;
};
