#include "CModelCtrl.h"

#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceSortFilterModel.h"

#include <QtDebug>
#include <algorithm>

CModelCtrl::CModelCtrl(CDeviceSortFilterModel* model, QObject* parent)
    : QObject(parent), m_model(model)
{}

bool CModelCtrl::isViewRow(int iRow) const
{
    return m_model && iRow >= 0 && iRow < m_model->rowCount();
}

bool CModelCtrl::setProperty(int iRow, const QString& strRoleName, const QVariant& value)
{
    if (!isViewRow(iRow))
        return false;
    return m_model->setData(m_model->index(iRow, 0), value, roleFromName(strRoleName));
}

void CModelCtrl::sortByRole(const QString& strRole, int order)
{
    m_anchor = 0;
    if (m_model)
        m_model->sortByRole(strRole, order);
    emit modelSorted();
}

void CModelCtrl::sortByRole(const QString& strRole)
{
    sortByRole(strRole, Qt::AscendingOrder);
}

void CModelCtrl::setFilter(const QString& strFilter)
{
    m_anchor = 0;
    if (m_model)
        m_model->setFilterWords(strFilter);
}

void CModelCtrl::acceptOnlySelected(bool b)
{
    m_anchor = 0;
    if (m_model)
        m_model->setOnlySelected(b);
}

void CModelCtrl::acceptModelSet(const QString& model)
{
    m_anchor = 0;
    if (!m_model) {
        qDebug("!m_pModel");
        return;
    }
    m_model->setModelSet(model);
}

bool CModelCtrl::setSelected(int iRow, bool selected)
{
    if (!isViewRow(iRow))
        return false;
    return m_model->setData(m_model->index(iRow, 0), selected, CDeviceInfo::selectedRole);
}

bool CModelCtrl::selectionLayers(CAppendedDataModel** owner,
                                 QList<CAppendedDataModel*>* between) const
{
    QAbstractItemModel* source = m_model ? m_model->sourceModel() : nullptr;
    while (auto* layer = qobject_cast<CAppendedDataModel*>(source)) {
        if (layer->appendedRole() == CDeviceInfo::selectedRole) {
            *owner = layer;
            return true;
        }
        between->append(layer);
        source = layer->sourceModel();
    }
    return false;
}

bool CModelCtrl::selectOnly(int first, int last)
{
    if (!m_model)
        return true;
    m_model->beginBatchWrite();
    const bool accepted = writeSelection(first, last);
    m_model->endBatchWrite();
    return accepted;
}

bool CModelCtrl::writeSelection(int first, int last)
{
    CAppendedDataModel* owner = nullptr;
    QList<CAppendedDataModel*> between;
    if (!selectionLayers(&owner, &between))
        return selectOnlyRowByRow(first, last);

    // Appended layers keep their source's rows one to one, so a view row maps to the same source
    // row in every layer down to the owner. The rows to write are handed over in stretches of
    // adjacent view rows: the owner announces each run once, and a run never spans a view row
    // that did not change, so every view above hears of exactly the rows that changed.
    bool accepted = true;
    QVector<int> toSelect;
    QVector<int> toDeselect;
    const auto writeStretch = [&] {
        if (!toDeselect.isEmpty())
            owner->setValues(toDeselect, false);
        if (!toSelect.isEmpty())
            owner->setValues(toSelect, true);
        toSelect.clear();
        toDeselect.clear();
    };
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const bool wanted = row >= first && row <= last;
        const int sourceRow = m_model->mapToSource(m_model->index(row, 0)).row();
        const bool current = owner->storedValueAt(sourceRow).toBool();
        if (!wanted && !current) {
            writeStretch();
            continue;
        }
        bool writable = owner->hasStoredValue(sourceRow);
        for (int i = 0; writable && i < between.size(); ++i) {
            CAppendedDataModel* layer = between.at(i);
            // A plain appended layer takes every write of another role; building an index of
            // it (a walk down to the list) would be wasted.
            if (layer->metaObject() != &CAppendedDataModel::staticMetaObject) {
                writable = layer->acceptsWrite(layer->index(sourceRow, 0), wanted,
                                               CDeviceInfo::selectedRole);
            }
        }
        if (wanted && !writable)
            accepted = false;
        if (!writable || current == wanted) {
            writeStretch();
            continue;
        }
        (wanted ? toSelect : toDeselect).append(sourceRow);
    }
    writeStretch();
    return accepted;
}

bool CModelCtrl::selectOnlyRowByRow(int first, int last)
{
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        if ((row < first || row > last) &&
            m_model->index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            setSelected(row, false);
    }
    bool accepted = true;
    for (int row = std::max(first, 0); row <= last && row < rows; ++row) {
        if (!setSelected(row, true))
            accepted = false;
    }
    return accepted;
}

bool CModelCtrl::toggleSelection(int iRow)
{
    if (!isViewRow(iRow))
        return false;
    m_anchor = iRow;
    const bool current = m_model->index(iRow, 0).data(CDeviceInfo::selectedRole).toBool();
    const bool written = setSelected(iRow, !current);
    emit selectionChanged();
    return written;
}

bool CModelCtrl::ctrlSelect(int iRow)
{
    return toggleSelection(iRow);
}

bool CModelCtrl::isOnlySelectedRow(int iRow) const
{
    // Stops at the second selected row: after selecting all, the answer is known at once.
    int found = 0;
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (!m_model->index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            continue;
        if (row != iRow || ++found > 1)
            return false;
    }
    return found == 1;
}

bool CModelCtrl::select(int iRow)
{
    if (!isViewRow(iRow))
        return false;
    m_anchor = iRow;
    const bool written =
        isOnlySelectedRow(iRow) ? setSelected(iRow, false) : selectOnly(iRow, iRow);
    emit selectionChanged();
    return written;
}

bool CModelCtrl::shiftSelect(int iRow)
{
    if (!isViewRow(iRow))
        return false;
    // The anchor may point past the view when rows vanished since it was set.
    const int last = std::min(std::max(m_anchor, iRow), m_model->rowCount() - 1);
    selectOnly(std::min(m_anchor, iRow), last);
    emit selectionChanged();
    return true;
}

bool CModelCtrl::selectAll()
{
    m_anchor = 0;
    if (m_model)
        selectOnly(0, m_model->rowCount() - 1);
    emit selectionChanged();
    return true;
}

bool CModelCtrl::setSelectionToAll(bool bSelected)
{
    m_anchor = 0;
    if (m_model)
        selectOnly(0, bSelected ? m_model->rowCount() - 1 : -1);
    emit selectionChanged();
    return true;
}

void CModelCtrl::resetAnchor()
{
    m_anchor = 0;
}

QList<int> CModelCtrl::selectedRows() const
{
    QList<int> rows;
    if (!m_model)
        return rows;
    const int count = m_model->rowCount();
    for (int row = 0; row < count; ++row) {
        if (m_model->index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            rows.append(row);
    }
    return rows;
}

QList<int> CModelCtrl::rowsMatching(int role, const QVariant& value) const
{
    QList<int> rows;
    if (!m_model || m_model->rowCount() == 0)
        return rows;
    const QModelIndexList hits =
        m_model->match(m_model->index(0, 0), role, value, -1, Qt::MatchStartsWith | Qt::MatchWrap);
    for (const QModelIndex& hit : hits)
        rows.append(hit.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CModelCtrl::copySelectedTo(QAbstractItemModel* target, const QList<int>& roles) const
{
    if (!target || !m_model)
        return false;
    const QList<int> selected = selectedRows();
    if (target->rowCount() > 0 && !target->removeRows(0, target->rowCount()))
        return false;
    if (selected.isEmpty())
        return true;
    if (!target->insertRows(0, selected.size()))
        return false;
    for (int i = 0; i < selected.size(); ++i) {
        const QModelIndex from = m_model->index(selected.at(i), 0);
        const QModelIndex to = target->index(i, 0);
        for (int role : roles)
            target->setData(to, from.data(role), role);
    }
    return true;
}
