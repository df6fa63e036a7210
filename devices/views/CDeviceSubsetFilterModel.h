#pragma once

#include <QSortFilterProxyModel>
#include <QVector>
#include <vector>

// Common ground of the small device views over a CDeviceSortFilterModel (devices that failed
// authorization, devices that need a first password): a row count for QML that is announced only
// when it changes, kept current whenever a role the subset depends on changes.
//
// A changed row is re-examined on its own as part of the change (the proxy's dynamic filtering)
// rather than by re-filtering every row: a device's status changes one device at a time, and a
// full re-filter per change would make a fleet's worth of them quadratic. A batch write on the
// view (selecting all, say) is the opposite case: each row moving into the subset on its own
// costs a pass over the whole mapping, so during the batch rows keep their membership and the
// subset re-filters once at the end.
class CDeviceSubsetFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit CDeviceSubsetFilterModel(QObject* parent = nullptr);

    // The source is expected to be a CDeviceSortFilterModel; its countChanged is passed on.
    void setSourceModel(QAbstractItemModel* sourceModel) override;

    int count() const { return rowCount(); }

    // Re-filters; countChanged only when the count changed.
    Q_INVOKABLE void resetFilter();

signals:
    void countChanged();

public slots:
    void OnSourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                             const QVector<int>& roles);

protected:
    // The roles whose change may move a row into or out of the subset.
    virtual QVector<int> watchedRoles() const = 0;

    // True while the view runs a batch write; *accepted is then the row's current membership,
    // which filterAcceptsRow returns instead of looking at the row.
    bool holdsMembership(int sourceRow, const QModelIndex& sourceParent, bool* accepted) const;

private:
    void announceCountChange();
    void OnBatchWriteStarted();
    void OnBatchWriteFinished();

    QList<QMetaObject::Connection> m_sourceConnections;
    int m_announcedCount = 0;
    bool m_holding = false;
    std::vector<bool> m_heldMembers; // by source row, while holding
    bool m_watchedRoleChanged = false;
};
