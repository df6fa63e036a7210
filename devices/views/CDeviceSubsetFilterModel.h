#pragma once

#include <QSortFilterProxyModel>
#include <QVector>

// Common ground of the small device views over a CDeviceSortFilterModel (devices that failed
// authorization, devices that need a first password): a row count for QML that is announced only
// when it changes, kept current whenever a role the subset depends on changes.
//
// A changed row is re-examined on its own as part of the change (the proxy's dynamic filtering)
// rather than by re-filtering every row: selecting all of ten thousand devices changes them one by
// one, and a full re-filter per change would make that quadratic.
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

private:
    void announceCountChange();

    QList<QMetaObject::Connection> m_sourceConnections;
    int m_announcedCount = 0;
};
