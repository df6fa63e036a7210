#include "StatusEntry.h"

#include "CDeviceInfo.h"

#include <QAbstractItemModel>
#include <QVariantMap>

bool writeStatusEntry(const QModelIndex& index, const QString& key, int code)
{
    if (!index.isValid())
        return false;
    QVariantMap map = index.data(CDeviceInfo::statusRole).toMap();
    map.insert(key, code);
    auto* model = const_cast<QAbstractItemModel*>(index.model());
    return model->setData(index, map, CDeviceInfo::statusRole);
}
