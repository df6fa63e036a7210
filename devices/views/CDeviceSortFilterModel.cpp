#include "CDeviceSortFilterModel.h"

#include "AddressHelpers.h"
#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
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
                                   [this](const QModelIndex&, const QModelIndex&,
                                          const QVector<int>& roles) {
                                       if (roles.isEmpty() ||
                                           roles.contains(CDeviceInfo::selectedRole))
                                           noteSelectionChange();
                                   })
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

void CDeviceSortFilterModel::refilter()
{
    // A filter change hides or shows rows all over the list. Passing that on as one layout change
    // costs one pass over the rows; passing it on as separate removals and insertions (what
    // invalidateFilter does) costs a pass per run of rows, which is quadratic for a filter that
    // keeps, say, every fifth row of ten thousand.
    const bool sorted = sortColumn() >= 0 && sourceModel();
    if (sorted)
        fillSortKeys();
    invalidate();
    rowCount(); // builds the new mapping while the sort keys are at hand
    m_sortKeys.clear();
}

void CDeviceSortFilterModel::fillSortKeys()
{
    const int rows = sourceModel()->rowCount();
    std::vector<SortKey> keys;
    keys.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row)
        keys.push_back(sortKeyOf(row));
    m_sortKeys = std::move(keys);
}

void CDeviceSortFilterModel::setFilterWords(const QString& text)
{
    m_filterWords = text.split(QLatin1Char(' '));
    refilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::setModelSet(const QString& name)
{
    m_modelSet = name;
    refilter();
    emit countChanged();
}

void CDeviceSortFilterModel::setOnlySelected(bool onlySelected)
{
    m_onlySelected = onlySelected;
    refilter();
    emit countChanged();
}

void CDeviceSortFilterModel::setMinimumVersion(const QString& text)
{
    m_minimumVersion = text;
    refilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::refresh()
{
    refilter();
    emitCountSignals();
}

void CDeviceSortFilterModel::sortByRole(const QString& roleName, int order)
{
    if (rowCount() == 0)
        return;
    const int role = roleFromName(roleName);
    setSortRole(role);

    fillSortKeys();
    sort(0, order == Qt::DescendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_sortKeys.clear();
}

void CDeviceSortFilterModel::beginBatchWrite()
{
    if (m_batchWriteDepth++ == 0)
        emit batchWriteStarted();
}

void CDeviceSortFilterModel::endBatchWrite()
{
    if (m_batchWriteDepth <= 0)
        return;
    if (--m_batchWriteDepth == 0)
        emit batchWriteFinished();
}

void CDeviceSortFilterModel::noteSelectionChange()
{
    // Selecting all rows changes every row one by one; QML needs to hear of it once, after the
    // change, not once per row (each notice makes it recount the selection).
    if (m_selectionNoticePending)
        return;
    m_selectionNoticePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_selectionNoticePending = false;
            emit numSelectedChanged();
        },
        Qt::QueuedConnection);
}

void CDeviceSortFilterModel::OnSourceDataChanged(const QModelIndex& topLeft,
                                                 const QModelIndex& bottomRight,
                                                 const QVector<int>& roles)
{
    Q_UNUSED(topLeft)
    Q_UNUSED(bottomRight)
    if (roles.isEmpty() || roles.contains(CDeviceInfo::selectedRole))
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
    const bool nvrOnly = m_modelSet == QLatin1String("nvr");
    if (nvrOnly || m_modelSet == QLatin1String("camera")) {
        const QString info = sourceValue(sourceRow, CDeviceInfo::firmwareInfoRole).toString();
        const bool recorder = isRecorderModel(info);
        if (nvrOnly && !recorder)
            return false;
        if (!nvrOnly && (recorder || isOtherDevice(info)))
            return false;
    }
    return acceptsVersion(idx);
}

bool CDeviceSortFilterModel::acceptsWords(const QModelIndex& index) const
{
    if (m_filterWords.isEmpty())
        return true;
    const int row = index.row();
    const QString fields[] = {
        sourceValue(row, CDeviceInfo::modelRole).toString(),
        sourceValue(row, CDeviceInfo::ipRole).toString(),
        sourceValue(row, CDeviceInfo::macRole).toString(),
        sourceValue(row, CDeviceInfo::firmwareRole).toString(),
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

const CDeviceInfo* CDeviceSortFilterModel::recordOf(int sourceRow) const
{
    // Appended layers keep rows one to one and pass field roles through unchanged.
    const QAbstractItemModel* model = sourceModel();
    while (const auto* layer = qobject_cast<const CAppendedDataModel*>(model))
        model = layer->sourceModel();
    const auto* list = qobject_cast<const CDeviceListModel*>(model);
    if (!list || sourceRow < 0 || size_t(sourceRow) >= list->devices().size())
        return nullptr;
    return list->devices()[size_t(sourceRow)].get();
}

QVariant CDeviceSortFilterModel::sourceValue(int sourceRow, int role) const
{
    if (CDeviceInfo::isFieldRole(role)) {
        if (const CDeviceInfo* record = recordOf(sourceRow))
            return record->value(role);
    }
    const QAbstractItemModel* source = sourceModel();
    return source ? source->index(sourceRow, 0).data(role) : QVariant();
}

CDeviceSortFilterModel::SortKey CDeviceSortFilterModel::sortKeyOf(int sourceRow) const
{
    SortKey key;
    key.value = sourceValue(sourceRow, sortRole());
    quint32 address = 0;
    if (sortRole() == CDeviceInfo::ipRole && parseIPv4(key.value.toString(), &address))
        key.ip = address;
    return key;
}

bool CDeviceSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    SortKey leftKey;
    SortKey rightKey;
    const auto keyOf = [this](const QModelIndex& idx, SortKey& scratch) -> const SortKey& {
        if (idx.row() >= 0 && size_t(idx.row()) < m_sortKeys.size())
            return m_sortKeys[size_t(idx.row())];
        scratch = sortKeyOf(idx.row());
        return scratch;
    };
    const SortKey& l = keyOf(left, leftKey);
    const SortKey& r = keyOf(right, rightKey);
    if (sortRole() == CDeviceInfo::ipRole) {
        // Addresses compare by number when both are valid, otherwise as text.
        if (l.ip >= 0 && r.ip >= 0)
            return l.ip < r.ip;
        return l.value.toString().compare(r.value.toString(), sortCaseSensitivity()) < 0;
    }
    return valueLessThan(l.value, r.value);
}

bool CDeviceSortFilterModel::valueLessThan(const QVariant& left, const QVariant& right) const
{
    if (sortRole() == CDeviceInfo::ipRole) {
        quint32 l = 0;
        quint32 r = 0;
        const QString leftText = left.toString();
        const QString rightText = right.toString();
        if (parseIPv4(leftText, &l) && parseIPv4(rightText, &r))
            return l < r;
        return leftText.compare(rightText, sortCaseSensitivity()) < 0;
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
