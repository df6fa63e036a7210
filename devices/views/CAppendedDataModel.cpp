#include "CAppendedDataModel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

CAppendedDataModel::CAppendedDataModel(const QByteArray& roleName, int role,
                                       const QVariant& defaultValue, QObject* parent)
    : QIdentityProxyModel(parent), m_roleName(roleName), m_role(role), m_defaultValue(defaultValue)
{}

CAppendedDataModel::~CAppendedDataModel() = default;

const QVariant* CAppendedDataModel::storedValue(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.parent().isValid())
        return nullptr;
    const int row = index.row();
    if (row < 0 || size_t(row) >= m_values.size())
        return nullptr;
    return m_values[size_t(row)].get();
}

QVariant CAppendedDataModel::data(const QModelIndex& index, int role) const
{
    if (role == m_role) {
        const QVariant* value = storedValue(index);
        return value ? *value : QVariant();
    }
    return QIdentityProxyModel::data(index, role);
}

bool CAppendedDataModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != m_role)
        return QIdentityProxyModel::setData(index, value, role);
    const QVariant* stored = storedValue(index);
    if (!stored)
        return false;
    if (*stored == value)
        return true;
    *m_values[size_t(index.row())] = value;
    emit dataChanged(index, index, {m_role});
    return true;
}

bool CAppendedDataModel::acceptsWrite(const QModelIndex& index, const QVariant& value,
                                      int role) const
{
    Q_UNUSED(index)
    Q_UNUSED(value)
    Q_UNUSED(role)
    return true;
}

QVariant CAppendedDataModel::storedValueAt(int row) const
{
    if (!hasStoredValue(row))
        return QVariant();
    return *m_values[size_t(row)];
}

bool CAppendedDataModel::hasStoredValue(int row) const
{
    return row >= 0 && size_t(row) < m_values.size() && m_values[size_t(row)];
}

int CAppendedDataModel::setValues(const QVector<int>& rows, const QVariant& value)
{
    // Everything is stored first, so whoever hears of the first run already reads the final state
    // of the whole batch.
    struct Run
    {
        int first;
        int last;
    };
    std::vector<Run> runs;
    int step = 0;
    int previous = -1;
    for (int row : rows) {
        if (!hasStoredValue(row) || *m_values[size_t(row)] == value) {
            previous = -1; // a row left alone ends the run: it must not be announced
            continue;
        }
        *m_values[size_t(row)] = value;
        const int delta = row - previous;
        if (previous >= 0 && (delta == 1 || delta == -1) && (step == 0 || step == delta)) {
            step = delta;
            runs.back().last = row;
        } else {
            step = 0;
            runs.push_back({row, row});
        }
        previous = row;
    }
    for (const Run& run : runs) {
        emit dataChanged(index(std::min(run.first, run.last), 0),
                         index(std::max(run.first, run.last), 0), {m_role});
    }
    int changed = 0;
    for (const Run& run : runs)
        changed += std::abs(run.last - run.first) + 1;
    return changed;
}

Qt::ItemFlags CAppendedDataModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return QIdentityProxyModel::flags(index);
    return QIdentityProxyModel::flags(index) | Qt::ItemIsEditable;
}

QModelIndexList CAppendedDataModel::match(const QModelIndex& start, int role, const QVariant& value,
                                          int hits, Qt::MatchFlags flags) const
{
    if (role != m_role)
        return QIdentityProxyModel::match(start, role, value, hits, flags);
    QModelIndexList result;
    if (!start.isValid() || start.model() != this || start.row() < 0)
        return result;
    for (size_t row = size_t(start.row()); row < m_values.size(); ++row) {
        if (hits != -1 && result.size() >= hits)
            break;
        const auto& stored = m_values[row];
        if (stored && *stored == value)
            result.append(index(int(row), start.column()));
    }
    return result;
}

QHash<int, QByteArray> CAppendedDataModel::roleNames() const
{
    QHash<int, QByteArray> names = QIdentityProxyModel::roleNames();
    names.insert(m_role, m_roleName);
    return names;
}

void CAppendedDataModel::setSourceModel(QAbstractItemModel* newSource)
{
    for (const QMetaObject::Connection& connection : m_sourceConnections)
        disconnect(connection);
    m_sourceConnections.clear();

    m_values.clear();
    if (newSource) {
        m_values.resize(size_t(newSource->rowCount()));
        // Connected before the base class connects its own handlers, so the stored values are
        // already aligned when this proxy passes the change on to its views.
        m_sourceConnections << connect(newSource, &QAbstractItemModel::rowsInserted, this,
                                       &CAppendedDataModel::OnSourceInsertRows)
                            << connect(newSource, &QAbstractItemModel::rowsRemoved, this,
                                       &CAppendedDataModel::OnSourceRemoveRows)
                            << connect(newSource, &QAbstractItemModel::rowsMoved, this,
                                       &CAppendedDataModel::OnSourceMoveRows)
                            << connect(newSource, &QAbstractItemModel::modelReset, this,
                                       &CAppendedDataModel::OnSourceReset)
                            << connect(newSource, &QObject::destroyed, this,
                                       [this] { m_values.clear(); });
    }
    QIdentityProxyModel::setSourceModel(newSource);
}

void CAppendedDataModel::OnSourceInsertRows(const QModelIndex& parent, int iStart, int iEnd)
{
    if (parent.isValid() || iStart < 0 || iEnd < iStart || size_t(iStart) > m_values.size())
        return;
    std::vector<std::shared_ptr<QVariant>> fresh;
    fresh.reserve(size_t(iEnd - iStart + 1));
    for (int i = iStart; i <= iEnd; ++i)
        fresh.push_back(std::make_shared<QVariant>(m_defaultValue));
    m_values.insert(m_values.begin() + iStart, fresh.begin(), fresh.end());
}

void CAppendedDataModel::OnSourceRemoveRows(const QModelIndex& parent, int iStart, int iEnd)
{
    if (parent.isValid() || iStart < 0 || iEnd < iStart || size_t(iEnd) >= m_values.size())
        return;
    m_values.erase(m_values.begin() + iStart, m_values.begin() + iEnd + 1);
}

void CAppendedDataModel::OnSourceMoveRows(const QModelIndex& sourceParent, int iSourceStart,
                                          int iSourceEnd, const QModelIndex& destinationParent,
                                          int iDestinationRow)
{
    if (sourceParent.isValid() || destinationParent.isValid() || iSourceStart < 0 ||
        iSourceEnd < iSourceStart || size_t(iSourceEnd) >= m_values.size())
        return;
    // A move into its own range changes nothing.
    if (iDestinationRow >= iSourceStart && iDestinationRow <= iSourceEnd + 1)
        return;
    if (iDestinationRow < 0 || size_t(iDestinationRow) > m_values.size())
        return;
    std::vector<std::shared_ptr<QVariant>> moved(m_values.begin() + iSourceStart,
                                                 m_values.begin() + iSourceEnd + 1);
    m_values.erase(m_values.begin() + iSourceStart, m_values.begin() + iSourceEnd + 1);
    int destination = iDestinationRow;
    if (destination > iSourceEnd)
        destination -= iSourceEnd - iSourceStart + 1;
    m_values.insert(m_values.begin() + destination, moved.begin(), moved.end());
}

void CAppendedDataModel::OnSourceReset()
{
    // After a reset every row is new, so every row carries the default.
    m_values.clear();
    const QAbstractItemModel* source = sourceModel();
    const int rows = source ? source->rowCount() : 0;
    for (int i = 0; i < rows; ++i)
        m_values.push_back(std::make_shared<QVariant>(m_defaultValue));
}
