#include "CSelectableRoleModel.h"

#include "CDeviceInfo.h"
#include "ModelNames.h"

CSelectableRoleModel::CSelectableRoleModel(QObject* parent)
    : CAppendedDataModel("selectableRole", CDeviceInfo::selectableRole, false, parent)
{}

bool CSelectableRoleModel::isSelectable(const QModelIndex& index) const
{
    const QString info = QIdentityProxyModel::data(index, CDeviceInfo::firmwareInfoRole).toString();
    if (hasNonCameraPrefix(info))
        return false;
    if (isRecorderModel(info))
        return m_nvrSelectable;
    return true;
}

QVariant CSelectableRoleModel::data(const QModelIndex& index, int role) const
{
    if (role == CDeviceInfo::selectableRole) {
        if (!index.isValid() || index.model() != this)
            return QVariant();
        return isSelectable(index);
    }
    return CAppendedDataModel::data(index, role);
}

bool CSelectableRoleModel::acceptsWrite(const QModelIndex& index, const QVariant& value,
                                        int role) const
{
    if (role == CDeviceInfo::selectableRole)
        return false;
    // A recorder selected while recorders were allowed must still be clearable once they are not:
    // refusing the clear would leave it in every later operation on the selection.
    if (role == CDeviceInfo::selectedRole)
        return index.isValid() && (!value.toBool() || isSelectable(index));
    return true;
}

bool CSelectableRoleModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!acceptsWrite(index, value, role))
        return false;
    return CAppendedDataModel::setData(index, value, role);
}

void CSelectableRoleModel::setNVRSelectable(bool selectable)
{
    if (m_nvrSelectable == selectable)
        return;
    m_nvrSelectable = selectable;
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, 0), {CDeviceInfo::selectableRole});
}
