#include "CRoleMapEditor.h"

CRoleMapEditor::CRoleMapEditor(QAbstractItemModel* model) : m_model(model) {}

bool CRoleMapEditor::isRow(int row) const
{
    return m_model && row >= 0 && row < m_model->rowCount();
}

void CRoleMapEditor::ModifyModelRow(int iSourceRow, const RoleMap& newData)
{
    if (!isRow(iSourceRow))
        return;
    const QModelIndex idx = m_model->index(iSourceRow, 0);
    for (auto it = newData.constBegin(); it != newData.constEnd(); ++it)
        m_model->setData(idx, it.value(), it.key());
}

void CRoleMapEditor::FillModelRow(int iSourceRow, const RoleMap& to)
{
    if (!isRow(iSourceRow))
        return;
    const QModelIndex idx = m_model->index(iSourceRow, 0);
    for (auto it = to.constBegin(); it != to.constEnd(); ++it) {
        const QVariant current = idx.data(it.key());
        if (!current.canConvert<QString>())
            continue;
        if (it.key() == CDeviceInfo::cameraModelNameRole || current.toString().isEmpty())
            m_model->setData(idx, it.value(), it.key());
    }
}

QList<int> CRoleMapEditor::matchingRows(const RoleMap& from) const
{
    QList<int> rows;
    if (!m_model)
        return rows;
    const int count = m_model->rowCount();
    for (int row = 0; row < count; ++row) {
        const QModelIndex idx = m_model->index(row, 0);
        bool matches = true;
        for (auto it = from.constBegin(); it != from.constEnd() && matches; ++it)
            matches = idx.data(it.key()) == it.value();
        if (matches)
            rows.append(row);
    }
    return rows;
}

void CRoleMapEditor::ModifyModelEntry(const RoleMap& from, const RoleMap& to)
{
    for (int row : matchingRows(from))
        ModifyModelRow(row, to);
}

void CRoleMapEditor::FillModelEntry(const RoleMap& from, const RoleMap& to)
{
    for (int row : matchingRows(from))
        FillModelRow(row, to);
}
