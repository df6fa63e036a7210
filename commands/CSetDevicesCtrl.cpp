#include "CSetDevicesCtrl.h"

#include "CDeviceInfo.h"

#include <QPersistentModelIndex>

namespace {
const int kStatusRole = CDeviceInfo::statusRole;
}

CSetDevicesCtrl::CSetDevicesCtrl(QObject* parent) : QObject(parent) {}

void CSetDevicesCtrl::SetModel(QAbstractItemModel* model)
{
    if (model)
        m_model = model;
}

int CSetDevicesCtrl::StatusOf(const QModelIndex& index, const QString& key)
{
    const QVariant value = index.data(kStatusRole);
    const QVariantMap map = value.toMap();
    auto it = map.constFind(key);
    if (it == map.constEnd())
        return -1;
    bool ok = false;
    const int code = it->toInt(&ok);
    return ok ? code : -1;
}

bool CSetDevicesCtrl::WriteStatus(const QModelIndex& index, const QString& key, int code)
{
    if (!index.isValid())
        return false;
    QAbstractItemModel* model = const_cast<QAbstractItemModel*>(index.model());
    return model->setData(index, QVariantMap{{key, code}}, kStatusRole);
}

QVariantMap CSetDevicesCtrl::RowContext(const QModelIndex& index)
{
    QVariantMap context;
    const QString alias = index.data(CDeviceInfo::aliasIpRole).toString();
    context.insert(QStringLiteral("ip"),
                   alias.isEmpty() ? index.data(CDeviceInfo::ipRole).toString() : alias);
    context.insert(QStringLiteral("username"), index.data(CDeviceInfo::usernameRole).toString());
    context.insert(QStringLiteral("password"), index.data(CDeviceInfo::passwordRole).toString());
    context.insert(QStringLiteral("httpPort"), index.data(CDeviceInfo::httpPortRole).toInt());
    context.insert(QStringLiteral("httpsPort"), index.data(CDeviceInfo::httpsPortRole).toInt());
    context.insert(QStringLiteral("context"), QVariant::fromValue(QPersistentModelIndex(index)));
    return context;
}

QModelIndex CSetDevicesCtrl::IndexFromContext(const QVariant& context)
{
    if (context.canConvert<QPersistentModelIndex>())
        return context.value<QPersistentModelIndex>();
    return context.toModelIndex();
}
