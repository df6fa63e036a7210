#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>
#include <vector>

class CDeviceInfo;

// The view a device table binds to. It sorts and filters only when asked (by filter words, model
// set, selection and a minimum application version) and publishes the row count of the view and
// of its source and the number of visible selected rows.
class CDeviceSortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int rawCount READ rawCount NOTIFY rawCountChanged)
    Q_PROPERTY(int numSelected READ numSelected NOTIFY numSelectedChanged)

public:
    explicit CDeviceSortFilterModel(QObject* parent = nullptr);
    ~CDeviceSortFilterModel() override;

    void setSourceModel(QAbstractItemModel* sourceModel) override;

    int count() const;
    int rawCount() const;
    int numSelected() const;

    QStringList filterWords() const { return m_filterWords; }
    QString minimumVersion() const { return m_minimumVersion; }
    bool onlySelected() const { return m_onlySelected; }
    QString modelSet() const { return m_modelSet; }

    Q_INVOKABLE void setFilterWords(const QString& text);
    Q_INVOKABLE void setModelSet(const QString& name);
    Q_INVOKABLE void setOnlySelected(bool onlySelected);
    Q_INVOKABLE void setMinimumVersion(const QString& text);
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void sortByRole(const QString& roleName, int order = Qt::AscendingOrder);

    // Bracket a write of one role to many rows (selecting all of them, say). The rows are still
    // announced as they change; views over this one that would re-examine every changed row on
    // its own may instead wait for the end and re-filter once. Pairs may nest.
    void beginBatchWrite();
    void endBatchWrite();

signals:
    void countChanged();
    void rawCountChanged();
    void numSelectedChanged();
    void batchWriteStarted();
    void batchWriteFinished();

public slots:
    void OnSourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                             const QVector<int>& roles);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

    virtual bool acceptsWords(const QModelIndex& index) const;
    virtual bool acceptsVersion(const QModelIndex& index) const;
    virtual bool acceptsSelection(const QModelIndex& index) const;

    // Re-filters (and keeps the sort order) as one layout change.
    void refilter();

    // The comparison behind lessThan, on values already read from the source.
    virtual bool valueLessThan(const QVariant& left, const QVariant& right) const;

    // The value of role for a source row. Field roles are read straight from the record when the
    // source is a stack of appended layers over a device list (they pass those layers unchanged);
    // everything else goes through the source.
    QVariant sourceValue(int sourceRow, int role) const;

private:
    struct SortKey
    {
        QVariant value;
        qint64 ip = -1; // numeric address when sorting by ipRole and the text is valid
    };

    void emitCountSignals();
    void fillSortKeys();
    void noteSelectionChange();
    const CDeviceInfo* recordOf(int sourceRow) const;
    SortKey sortKeyOf(int sourceRow) const;

    QStringList m_filterWords;
    QString m_minimumVersion;
    bool m_onlySelected = false;
    QString m_modelSet;

    // The sort keys of the source rows while sortByRole runs, so each row is read once rather
    // than once per comparison.
    std::vector<SortKey> m_sortKeys;
    bool m_selectionNoticePending = false;
    int m_batchWriteDepth = 0;
    QList<QMetaObject::Connection> m_sourceConnections;
};
