#pragma once

#include "CDeviceSortFilterModel.h"

// A device view whose rows carry a map from status key to status code in statusRole; sorting by
// statusRole compares the codes under statusKey.
class CStatusMapSortModel : public CDeviceSortFilterModel
{
    Q_OBJECT
    Q_PROPERTY(QString statusKey READ statusKey WRITE setStatusKey NOTIFY statusKeyChanged)

public:
    explicit CStatusMapSortModel(QObject* parent = nullptr);

    QString statusKey() const { return m_statusKey; }
    // Stores the key; it neither re-sorts nor re-filters.
    void setStatusKey(const QString& key);

    // The code under statusKey of a statusRole value, or -1 when the value is not a map holding
    // the key.
    int statusCodeOf(const QVariant& statusValue, bool* found = nullptr) const;

signals:
    void statusKeyChanged();

protected:
    bool valueLessThan(const QVariant& left, const QVariant& right) const override;

private:
    QString m_statusKey;
};
