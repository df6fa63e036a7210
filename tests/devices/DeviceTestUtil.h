#pragma once

#include "CDeviceInfo.h"

#include <QStringList>

// Small builders shared by the device tests.
namespace devicetest {

inline std::shared_ptr<CDeviceInfo> device(const QString& ip, quint16 httpPort = 80,
                                           const QString& mac = QString(), bool drmSearched = false)
{
    auto d = std::make_shared<CDeviceInfo>();
    d->ip = ip;
    d->httpPort = httpPort;
    d->mac = mac;
    d->drmSearched = drmSearched;
    return d;
}

// Records from "ip" or "ip:port" texts.
inline std::deque<std::shared_ptr<CDeviceInfo>> devices(const QStringList& specs)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (const QString& spec : specs) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        list.push_back(device(parts.at(0), parts.size() > 1 ? quint16(parts.at(1).toUInt()) : 80));
    }
    return list;
}

// "ip:port" of every row of a model, in row order.
template <typename Model> QStringList addresses(const Model& model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex idx = model.index(row, 0);
        out << idx.data(CDeviceInfo::ipRole).toString() + QLatin1Char(':') +
                   idx.data(CDeviceInfo::httpPortRole).toString();
    }
    return out;
}

} // namespace devicetest
