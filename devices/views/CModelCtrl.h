#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

class CAppendedDataModel;
class CDeviceSortFilterModel;
class QAbstractItemModel;

// QML's handle on one device view: selection (click, ctrl-click, shift-click, all), sorting and
// filtering. Rows are rows of the view. Writes of selectedRole go through the view down the chain,
// so a layer below may refuse them.
class CModelCtrl : public QObject
{
    Q_OBJECT

public:
    explicit CModelCtrl(CDeviceSortFilterModel* model, QObject* parent = nullptr);

    CDeviceSortFilterModel* model() const { return m_model; }
    int anchor() const { return m_anchor; }

    using QObject::setProperty;
    Q_INVOKABLE bool setProperty(int iRow, const QString& strRoleName, const QVariant& value);
    Q_INVOKABLE void sortByRole(const QString& strRole, int order);
    Q_INVOKABLE void sortByRole(const QString& strRole);
    Q_INVOKABLE void setFilter(const QString& strFilter);
    Q_INVOKABLE void acceptOnlySelected(bool b);
    Q_INVOKABLE void acceptModelSet(const QString& model);
    Q_INVOKABLE bool toggleSelection(int iRow);
    Q_INVOKABLE bool ctrlSelect(int iRow);
    Q_INVOKABLE bool select(int iRow);
    Q_INVOKABLE bool shiftSelect(int iRow);
    Q_INVOKABLE bool selectAll();
    Q_INVOKABLE bool setSelectionToAll(bool bSelected);

    void resetAnchor();
    // The view rows whose selectedRole is true, in view order.
    QList<int> selectedRows() const;
    // The view rows whose value of role starts with the string form of value (case-insensitive),
    // in view order.
    QList<int> rowsMatching(int role, const QVariant& value) const;
    // Replaces the rows of target with one default row per selected view row and copies the given
    // roles of each selected row into the target row of the same position.
    bool copySelectedTo(QAbstractItemModel* target, const QList<int>& roles) const;

signals:
    void selectionChanged();
    void modelSorted();

private:
    bool isViewRow(int iRow) const;
    // Whether iRow is the one and only selected view row.
    bool isOnlySelectedRow(int iRow) const;
    bool setSelected(int iRow, bool selected);
    // Makes the view rows first..last the selected ones and every other visible row unselected
    // (first > last: none selected), writing only rows whose value differs. True when no row of
    // the range refused the selection.
    bool selectOnly(int first, int last);
    bool writeSelection(int first, int last);
    // The same, one setData per row through the view: for chains whose layers cannot be looked
    // through.
    bool selectOnlyRowByRow(int first, int last);
    // The layer that stores selectedRole below the view, with the appended layers between them
    // (top first), when every layer down to it is an appended layer; false otherwise. Batch
    // writes go straight to that layer, asking the layers between through acceptsWrite; the
    // view itself only maps rows and takes no part in writes.
    bool selectionLayers(CAppendedDataModel** owner, QList<CAppendedDataModel*>* between) const;

    QPointer<CDeviceSortFilterModel> m_model;
    int m_anchor = 0;
};
