#pragma once

#include "CDeviceSortFilterModel.h"

// The IP-assignment page's device view: its search words also find the new address, and the new
// addresses sort as addresses.
class CAssignIpPageFilterModel : public CDeviceSortFilterModel
{
    Q_OBJECT
public:
    explicit CAssignIpPageFilterModel(QObject* parent = nullptr);

protected:
    bool acceptsWords(const QModelIndex& index) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};
