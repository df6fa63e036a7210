#pragma once

#include <QIdentityProxyModel>
#include <deque>
#include <memory>

// An identity proxy that adds one role to its source and stores one value of it per row, kept
// aligned with the source rows as they are inserted, removed and moved.
//
// Every other role, the record's fields included, passes through unchanged; the device views rely
// on that to read fields straight from the device list under a stack of these layers.
class CAppendedDataModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    CAppendedDataModel(const QByteArray& roleName, int role, const QVariant& defaultValue,
                       QObject* parent = nullptr);
    ~CAppendedDataModel() override;

    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith |
                                                                Qt::MatchWrap)) const override;
    QHash<int, QByteArray> roleNames() const override;
    // Rows the source already has get an entry without a value: they read as invalid and refuse
    // writes of the appended role. Only rows inserted later carry the default.
    void setSourceModel(QAbstractItemModel* sourceModel) override;

    int appendedRole() const { return m_role; }
    QByteArray appendedRoleName() const { return m_roleName; }
    QVariant defaultValue() const { return m_defaultValue; }

    // Whether a write of role to the row at index would pass this layer. Writes of the appended
    // role stop here and the others go on to the source; a subclass that refuses some writes in
    // setData says so here too, because batch writes from above ask this instead of calling
    // setData row by row.
    virtual bool acceptsWrite(const QModelIndex& index, const QVariant& value, int role) const;

    // The stored value of the appended role in a row of this model (invalid when it has none),
    // and whether the row has one at all (rows without one refuse writes).
    QVariant storedValueAt(int row) const;
    bool hasStoredValue(int row) const;

    // Stores value in the given rows of this model, skipping rows without a stored value and rows
    // that already hold it, and returns how many rows changed. The change is announced once per
    // run of consecutive list entries that step through the rows by one in the same direction,
    // instead of once per row: ten thousand single-row notices travelling up through every
    // proxy cost far more than the writes.
    int setValues(const QVector<int>& rows, const QVariant& value);

public slots:
    void OnSourceInsertRows(const QModelIndex& parent, int iStart, int iEnd);
    void OnSourceRemoveRows(const QModelIndex& parent, int iStart, int iEnd);
    void OnSourceMoveRows(const QModelIndex& sourceParent, int iSourceStart, int iSourceEnd,
                          const QModelIndex& destinationParent, int iDestinationRow);

private slots:
    void OnSourceReset();

private:
    const QVariant* storedValue(const QModelIndex& index) const;

    QByteArray m_roleName;
    int m_role;
    QVariant m_defaultValue;
    std::deque<std::shared_ptr<QVariant>> m_values;
    QList<QMetaObject::Connection> m_sourceConnections;
};
