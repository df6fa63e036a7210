// Range allotment for many devices inside a huge range: the input check (which counts the free
// addresses) and the allotment itself, with the memory they took.
//
//     bench_assignrange [devices] [first] [last]   (default 1000, 10.0.0.0, 10.255.255.255)
//
// Devices sit at addresses outside the range, except every tenth, which already sits inside it
// and keeps its address. No request is sent: the allotment is measured on its own.

#include "AddressHelpers.h"
#include "CAppendedDataModel.h"
#include "CAssignIpPageFilterModel.h"
#include "CAssignIpRangeCtrl.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

// Resident and peak resident memory of this process, in kB.
qint64 statusKb(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

class RangeProbe : public CAssignIpRangeCtrl
{
public:
    using CAssignIpRangeCtrl::BuildList;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    const QString first = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("10.0.0.0");
    const QString last = argc > 3 ? QString::fromLatin1(argv[3]) : QStringLiteral("10.255.255.255");

    CDeviceListModel list;
    CAppendedDataModel status("statusRole", CDeviceInfo::statusRole, -1);
    CAppendedDataModel newIp("newIpRole", CDeviceInfo::newIpRole, QString());
    status.setSourceModel(&list);
    newIp.setSourceModel(&status);
    CAssignIpPageFilterModel view;
    view.setSourceModel(&newIp);
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    const quint32 inside = ipv4ToUInt(first) + 5000000u;
    for (int i = 0; i < count; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = i % 10 == 0 ? uintToIPv4(inside + quint32(i))
                                 : uintToIPv4((192u << 24) | (168u << 16) | quint32(i));
        devices.push_back(device);
    }
    list.ResetList(devices);

    RangeProbe ctrl;
    ctrl.SetModel(&view);
    const qint64 rssBefore = statusKb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    const auto state = ctrl.CheckInput(first, last, "255.0.0.0", "10.0.0.1", "", "", false, 0);
    const qint64 checkNs = clock.nsecsElapsed();
    clock.restart();
    const QVariantList contexts = ctrl.BuildList();
    const qint64 allotNs = clock.nsecsElapsed();
    const qint64 rssAfter = statusKb("VmRSS:");

    int kept = 0;
    for (int row = 0; row < view.rowCount(); ++row)
        kept += view.index(row, 0).data(CDeviceInfo::statusRole).toInt() == CAssignIpCtrl::Success
                    ? 1
                    : 0;
    std::printf("devices                  %d\n", count);
    std::printf("range                    %s - %s (%llu addresses)\n", qPrintable(first),
                qPrintable(last),
                static_cast<unsigned long long>(ipv4ToUInt(last) - ipv4ToUInt(first) + 1ull));
    std::printf("check                    %s, %.2f ms\n",
                state == CAssignIpRangeCtrl::Ok ? "Ok" : "not Ok", checkNs / 1e6);
    std::printf("allotment                %.2f ms (%d requests, %d already inside)\n",
                allotNs / 1e6, int(contexts.size()), kept);
    std::printf("resident memory          %lld kB before, %lld kB after (%+lld kB)\n",
                static_cast<long long>(rssBefore), static_cast<long long>(rssAfter),
                static_cast<long long>(rssAfter - rssBefore));
    return state == CAssignIpRangeCtrl::Ok && contexts.size() + kept == count ? 0 : 1;
}
