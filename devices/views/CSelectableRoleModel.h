#pragma once

#include "CAppendedDataModel.h"

// Appends selectableRole, computed from each row's identification string: non-camera products can
// never be selected, recorders only while nvrSelectable is set, everything else always. Writes of
// selectedRole to a row that may not be selected are refused here, before they reach the layer
// that stores the selection.
class CSelectableRoleModel : public CAppendedDataModel
{
    Q_OBJECT

public:
    explicit CSelectableRoleModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // selectableRole is never written; a row is selected only when it may be, but any row may be
    // deselected.
    bool acceptsWrite(const QModelIndex& index, const QVariant& value, int role) const override;

    bool nvrSelectable() const { return m_nvrSelectable; }
    // Announces the change of selectableRole on every row when the flag changes.
    void setNVRSelectable(bool selectable);

private:
    bool isSelectable(const QModelIndex& index) const;

    bool m_nvrSelectable = false;
};
