#include "CModelCtrl.h"

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

void CModelCtrl::setAllVisible(bool selected)
{
    if (!m_model)
        return;
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QModelIndex idx = m_model->index(row, 0);
        if (idx.data(CDeviceInfo::selectedRole).toBool() != selected)
            m_model->setData(idx, selected, CDeviceInfo::selectedRole);
    }
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

bool CModelCtrl::select(int iRow)
{
    if (!isViewRow(iRow))
        return false;
    m_anchor = iRow;
    const QList<int> selected = selectedRows();
    bool written = false;
    if (selected.size() == 1 && selected.first() == iRow) {
        written = setSelected(iRow, false);
    } else {
        setAllVisible(false);
        written = setSelected(iRow, true);
    }
    emit selectionChanged();
    return written;
}

bool CModelCtrl::shiftSelect(int iRow)
{
    if (!isViewRow(iRow))
        return false;
    setAllVisible(false);
    // The anchor may point past the view when rows vanished since it was set.
    const int last = std::min(std::max(m_anchor, iRow), m_model->rowCount() - 1);
    for (int row = std::min(m_anchor, iRow); row <= last; ++row)
        setSelected(row, true);
    emit selectionChanged();
    return true;
}

bool CModelCtrl::selectAll()
{
    m_anchor = 0;
    setAllVisible(true);
    emit selectionChanged();
    return true;
}

bool CModelCtrl::setSelectionToAll(bool bSelected)
{
    m_anchor = 0;
    setAllVisible(bSelected);
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
