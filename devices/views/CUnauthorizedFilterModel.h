#pragma once

#include "CDeviceSubsetFilterModel.h"

// The selected devices that are not authorized (status other than 104).
class CUnauthorizedFilterModel : public CDeviceSubsetFilterModel
{
    Q_OBJECT

public:
    explicit CUnauthorizedFilterModel(QObject* parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    QVector<int> watchedRoles() const override;
};
