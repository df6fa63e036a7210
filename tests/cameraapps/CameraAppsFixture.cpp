#include "CameraAppsFixture.h"

#include "AddressHelpers.h"
#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CPageCtrl.h"
#include "CSetDevicesCtrl.h"

#include <QHostAddress>
#include <QJsonObject>

bool CameraAppsFixture::start(const QString& firstIp, int count, const QStringList& extra)
{
    m_httpPort = CFreePort::tcp(QHostAddress(firstIp));
    const quint16 httpsPort = CFreePort::tcp(QHostAddress(firstIp));
    QStringList args{"--count",          QString::number(count),
                     "--first-ip",       firstIp,
                     "--http-port",      QString::number(m_httpPort),
                     "--https-port",     QString::number(httpsPort),
                     "--discovery-port", "0"};
    args += extra;
    m_ips.clear();
    const quint32 first = ipv4ToUInt(firstIp);
    for (int i = 0; i < count; ++i)
        m_ips.append(first + quint32(i));
    return m_sim.start(args, 60000);
}

QString CameraAppsFixture::ip(int i) const
{
    return uintToIPv4(m_ips.value(i));
}

void CameraAppsFixture::select(CMainDeviceChain& chain, const QList<int>& devices,
                               const QString& password)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    const QJsonArray listing = m_sim.devices();
    for (int i : devices) {
        QJsonObject listed;
        for (const QJsonValue& value : listing) {
            if (value.toObject().value("ip").toString() == ip(i))
                listed = value.toObject();
        }
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = ip(i);
        device->model = listed.value("model").toString();
        device->mac = listed.value("mac").toString();
        device->firmwareInfo = listed.value("firmware").toString();
        device->firmware = listed.value("firmwareVersion").toString();
        device->username = QStringLiteral("root");
        device->password = password;
        device->httpPort = m_httpPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

QJsonArray CameraAppsFixture::received(const QString& ip, const QString& method,
                                       const QString& path)
{
    QJsonArray out;
    for (const QJsonValue& entry : m_sim.lastReceived(ip)) {
        const QJsonObject request = entry.toObject();
        if (request.value("method").toString() == method &&
            request.value("path").toString() == path)
            out.append(request);
    }
    return out;
}

QStringList CameraAppsFixture::modules(const QString& ip)
{
    QStringList out;
    for (const QJsonValue& value : m_sim.device(ip).value("modules").toArray()) {
        const QJsonObject module = value.toObject();
        out << module.value("name").toString() + " " + module.value("version").toString();
    }
    out.sort();
    return out;
}

int CameraAppsFixture::pageRow(CPageCtrl& page, const QString& ip)
{
    for (int row = 0; row < page.StatusLayer()->rowCount(); ++row) {
        if (page.StatusLayer()->index(row, 0).data(CDeviceInfo::ipRole).toString() == ip)
            return row;
    }
    return -1;
}

int CameraAppsFixture::statusOf(CPageCtrl& page, int row, const QString& key)
{
    return CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(row, 0), key);
}
