#include "CZAPKLeftModel.h"

CZAPKLeftModel::CZAPKLeftModel(QObject* parent) : QAbstractListModel(parent) {}

void CZAPKLeftModel::SetContent(const QVector<QPair<QString, int>>& rows)
{
    if (!m_rows.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, m_rows.size() - 1);
        m_rows.clear();
        endRemoveRows();
    }
    if (!rows.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, rows.size() - 1);
        m_rows = rows;
        endInsertRows();
    }
    emit CountChanged(m_rows.size());
}

QString CZAPKLeftModel::NameAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].first : QString();
}

int CZAPKLeftModel::RowOf(const QString& name) const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].first == name)
            return row;
    }
    return -1;
}

void CZAPKLeftModel::SetDeviceCount(int row, int n)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].second = n;
    emit dataChanged(index(row, 0), index(row, 0), {devicecount});
}

int CZAPKLeftModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant CZAPKLeftModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == modelname)
        return m_rows[index.row()].first;
    if (role == devicecount)
        return m_rows[index.row()].second;
    return {};
}

QHash<int, QByteArray> CZAPKLeftModel::roleNames() const
{
    return {{modelname, "modelname"}, {devicecount, "devicecount"}};
}

bool CZAPKLeftModel::removeRows(int row, int count, const QModelIndex& parent)
{
    Q_UNUSED(count)
    if (parent.isValid() || row < 0 || row >= m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.remove(row);
    endRemoveRows();
    emit CountChanged(m_rows.size());
    return true;
}
