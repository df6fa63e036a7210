#pragma once

#include "CDeviceSortFilterModel.h"

// A table of the application page: module rows, filtered to one module and the search words.
class CZAPKPageModel : public CDeviceSortFilterModel
{
    Q_OBJECT
public:
    explicit CZAPKPageModel(QObject* parent = nullptr);

    QString packageName() const { return m_packageName; }
    void setPackageName(const QString& name);

protected:
    bool acceptsWords(const QModelIndex& index) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString m_packageName;
};
