#pragma once

#include "CDeviceInfo.h"

#include <QAbstractItemModel>
#include <QList>
#include <QPointer>

// Updates rows of a device model from outside through role maps: a value map lists the values to
// write, a match map selects the rows (every entry must equal the row's value of that role; an
// empty match map selects every row). Row numbers are rows of the model it acts on.
class CRoleMapEditor
{
public:
    explicit CRoleMapEditor(QAbstractItemModel* model = nullptr);

    QAbstractItemModel* model() const { return m_model; }
    void setModel(QAbstractItemModel* model) { m_model = model; }

    // setData of every entry of newData on the row.
    void ModifyModelRow(int iSourceRow, const RoleMap& newData);
    // Writes each entry only where the row's current value is an empty text, except
    // cameraModelNameRole, which is always written. Roles whose current value has no text form
    // (including roles the row does not have) are skipped.
    void FillModelRow(int iSourceRow, const RoleMap& to);
    void ModifyModelEntry(const RoleMap& from, const RoleMap& to);
    void FillModelEntry(const RoleMap& from, const RoleMap& to);

    // The rows that match the match map, in row order.
    QList<int> matchingRows(const RoleMap& from) const;

private:
    bool isRow(int row) const;

    QPointer<QAbstractItemModel> m_model;
};
