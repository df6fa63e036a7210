#include "CDeviceSortFilterModel.h"

#include "AddressHelpers.h"
#include "CDeviceInfo.h"
#include "ModelNames.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

CDeviceSortFilterModel::CDeviceSortFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(false);
}

CDeviceSortFilterModel::~CDeviceSortFilterModel() = default;

void CDeviceSortFilterModel::setSourceModel(QAbstractItemModel* newSource)
{
    for (const QMetaObject::Connection& connection : m_sourceConnections)
        disconnect(connection);
    m_sourceConnections.clear();
    QSortFilterProxyModel::setSourceModel(newSource);
    if (!newSource)
        return;
    // Queued, so QML sees the counts after the change that caused them has finished.
    m_sourceConnections << connect(newSource, &QAbstractItemModel::dataChanged, this,
                                   &CDeviceSortFilterModel::OnSourceDataChanged,
                                   Qt::QueuedConnection)
                        << connect(
                               newSource, &QAbstractItemModel::rowsRemoved, this,
                               [this] {
                                   emit numSelectedChanged();
                                   emit countChanged();
                                   emit rawCountChanged();
                               },
                               Qt::QueuedConnection)
                        << connect(
                               newSource, &QAbstractItemModel::rowsInserted, this,
                               [this] {
                                   emit numSelectedChanged();
                                   emit countChanged();
                                   emit rawCountChanged();
                               },
                               Qt::QueuedConnection);
}

int CDeviceSortFilterModel::count() const
{
    return rowCount();
}

int CDeviceSortFilterModel::rawCount() const
{
    const QAbstractItemModel* source = sourceModel();
    return source ? source->rowCount() : 0;
}

int CDeviceSortFilterModel::numSelected() const
{
    int selected = 0;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        if (index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            ++selected;
    }
    return selected;
}

void CDeviceSortFilterModel::emitCountSignals()
{
    emit numSelectedChanged();
    emit countChanged();
}

void CDeviceSortFilterModel::setFilterWords(const QString& text)
{
    m_filterWords = text.split(QLatin1Char(' '));
    invalidateFilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::setModelSet(const QString& name)
{
    m_modelSet = name;
    invalidateFilter();
    emit countChanged();
}

void CDeviceSortFilterModel::setOnlySelected(bool onlySelected)
{
    m_onlySelected = onlySelected;
    invalidateFilter();
    emit countChanged();
}

void CDeviceSortFilterModel::setMinimumVersion(const QString& text)
{
    m_minimumVersion = text;
    invalidateFilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::refresh()
{
    invalidateFilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::sortByRole(const QString& roleName, int order)
{
    if (rowCount() == 0)
        return;
    const int role = roleFromName(roleName);
    setSortRole(role);

    const QAbstractItemModel* source = sourceModel();
    const int rows = source->rowCount();
    m_sortKeys.clear();
    m_sortKeys.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row)
        m_sortKeys.push_back(source->index(row, 0).data(role));
    sort(0, order == Qt::DescendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_sortKeys.clear();
}

void CDeviceSortFilterModel::OnSourceDataChanged(const QModelIndex& topLeft,
                                                 const QModelIndex& bottomRight,
                                                 const QVector<int>& roles)
{
    Q_UNUSED(topLeft)
    Q_UNUSED(bottomRight)
    if (roles.contains(CDeviceInfo::selectedRole))
        emit numSelectedChanged();
}

bool CDeviceSortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QAbstractItemModel* source = sourceModel();
    if (!source || sourceRow < 0 || sourceRow >= source->rowCount(sourceParent))
        return false;
    const QModelIndex idx = source->index(sourceRow, 0, sourceParent);
    if (!idx.isValid() || !acceptsWords(idx) || !acceptsSelection(idx))
        return false;
    if (m_modelSet != QLatin1String("all")) {
        const QString info = idx.data(CDeviceInfo::firmwareInfoRole).toString();
        const bool recorder = isRecorderModel(info);
        if (m_modelSet == QLatin1String("nvr") && !recorder)
            return false;
        if (m_modelSet == QLatin1String("camera") && (recorder || isOtherDevice(info)))
            return false;
    }
    return acceptsVersion(idx);
}

bool CDeviceSortFilterModel::acceptsWords(const QModelIndex& index) const
{
    if (m_filterWords.isEmpty())
        return true;
    const QString fields[] = {
        index.data(CDeviceInfo::modelRole).toString(),
        index.data(CDeviceInfo::ipRole).toString(),
        index.data(CDeviceInfo::macRole).toString(),
        index.data(CDeviceInfo::firmwareRole).toString(),
    };
    for (const QString& word : m_filterWords) {
        bool found = false;
        for (const QString& field : fields) {
            if (field.contains(word, Qt::CaseInsensitive)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool CDeviceSortFilterModel::acceptsVersion(const QModelIndex& index) const
{
    if (m_minimumVersion.isEmpty())
        return true;
    const QStringList required = m_minimumVersion.split(QLatin1Char('.'));
    QStringList actual = index.data(CDeviceInfo::zapkVerRole).toString().split(QLatin1Char('.'));
    // The row's version must be at least the required one, missing pieces counting as 0.
    for (const QString& piece : required) {
        const int need = piece.toInt();
        if (!actual.isEmpty()) {
            const int have = actual.first().toInt();
            if (need < have)
                return true;
            if (need > have)
                return false;
            actual.removeFirst();
        } else if (need != 0) {
            return false;
        }
    }
    return true;
}

bool CDeviceSortFilterModel::acceptsSelection(const QModelIndex& index) const
{
    if (!m_onlySelected)
        return true;
    const QVariant selected = index.data(CDeviceInfo::selectedRole);
    return selected.isValid() ? selected.toBool() : true;
}

bool CDeviceSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const int role = sortRole();
    const auto keyOf = [this, role](const QModelIndex& idx) {
        if (idx.row() >= 0 && size_t(idx.row()) < m_sortKeys.size())
            return m_sortKeys[size_t(idx.row())];
        return idx.data(role);
    };
    return valueLessThan(keyOf(left), keyOf(right));
}

bool CDeviceSortFilterModel::valueLessThan(const QVariant& left, const QVariant& right) const
{
    if (sortRole() == CDeviceInfo::ipRole) {
        const QString l = left.toString();
        const QString r = right.toString();
        if (isValidIPv4(l) && isValidIPv4(r))
            return ipv4ToUInt(l) < ipv4ToUInt(r);
        return l.compare(r, sortCaseSensitivity()) < 0;
    }
    // The standard comparison of a sort proxy: invalid values last, numbers and dates by value,
    // everything else as text.
    if (left.userType() == QMetaType::UnknownType)
        return false;
    if (right.userType() == QMetaType::UnknownType)
        return true;
    switch (left.userType()) {
    case QMetaType::Int:
        return left.toInt() < right.toInt();
    case QMetaType::UInt:
        return left.toUInt() < right.toUInt();
    case QMetaType::LongLong:
        return left.toLongLong() < right.toLongLong();
    case QMetaType::ULongLong:
        return left.toULongLong() < right.toULongLong();
    case QMetaType::Float:
        return left.toFloat() < right.toFloat();
    case QMetaType::Double:
        return left.toDouble() < right.toDouble();
    case QMetaType::QChar:
        return left.toChar() < right.toChar();
    case QMetaType::QDate:
        return left.toDate() < right.toDate();
    case QMetaType::QTime:
        return left.toTime() < right.toTime();
    case QMetaType::QDateTime:
        return left.toDateTime() < right.toDateTime();
    default:
        if (isSortLocaleAware())
            return left.toString().localeAwareCompare(right.toString()) < 0;
        return left.toString().compare(right.toString(), sortCaseSensitivity()) < 0;
    }
}
