#pragma once

#include "CDeviceSubsetFilterModel.h"

// The devices that still wait for their first password (status 108).
class CNeedPasswordFilterModel : public CDeviceSubsetFilterModel
{
    Q_OBJECT

public:
    explicit CNeedPasswordFilterModel(QObject* parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    QVector<int> watchedRoles() const override;
};
