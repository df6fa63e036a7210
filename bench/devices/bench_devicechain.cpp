// Times the main page's device chain with a large fleet: filtering by two words, sorting by
// address, selecting all, counting the selection, the selection writes that clear or replace a
// large selection, and the memory each device costs. The selection runs over the view sorted by
// address, whose order is far from the list's, so changed rows are seldom adjacent in both.
//
// Usage: bench_devicechain [devices]   (default 10000)

#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CNeedPasswordFilterModel.h"
#include "CUnauthorizedFilterModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

// Resident set size in KiB, from /proc/self/status.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

std::deque<std::shared_ptr<CDeviceInfo>> makeFleet(int count)
{
    static const char* const kModels[] = {"QD8182", "QD9000", "NV9311", "SW1008", "QX1"};
    std::deque<std::shared_ptr<CDeviceInfo>> fleet;
    for (int i = 0; i < count; ++i) {
        auto d = std::make_shared<CDeviceInfo>();
        const QString model = QString::fromLatin1(kModels[i % 5]);
        d->model = model;
        d->cameraModelName = model;
        // Addresses in a shuffled order so the sort has work to do.
        const quint32 host = quint32((i * 7919) % count);
        d->ip = QStringLiteral("10.%1.%2.%3")
                    .arg((host >> 16) & 0xff)
                    .arg((host >> 8) & 0xff)
                    .arg(host & 0xff);
        d->mac = QStringLiteral("00-1A-2B-%1-%2-%3")
                     .arg((i >> 16) & 0xff, 2, 16, QLatin1Char('0'))
                     .arg((i >> 8) & 0xff, 2, 16, QLatin1Char('0'))
                     .arg(i & 0xff, 2, 16, QLatin1Char('0'))
                     .toUpper();
        d->firmware = QStringLiteral("01%1a").arg(i % 100, 2, 10, QLatin1Char('0'));
        d->firmwareInfo = model + QStringLiteral("-QXOR-") + d->firmware;
        d->drmSearched = true;
        fleet.push_back(d);
    }
    return fleet;
}

template <typename Fn> double timeMs(Fn&& fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerDeviceMetaTypes();
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_devicechain [devices]\n");
        return 2;
    }

    CMainDeviceChain chain;
    CModelCtrl* ctrl = chain.modelCtrl();
    CDeviceSortFilterModel* view = chain.sortFilterModel();

    const long rssBefore = residentKiB();
    double fill = 0;
    {
        auto fleet = makeFleet(count);
        fill = timeMs([&] { chain.listModel()->ResetList(std::move(fleet)); });
    }
    QCoreApplication::processEvents();
    const long rssAfter = residentKiB();

    int visible = 0;
    const double filter = timeMs([&] {
        ctrl->setFilter(QStringLiteral("10. qd8"));
        visible = view->count();
    });
    const double clearFilter = timeMs([&] { ctrl->setFilter(QString()); });
    const double sort = timeMs([&] { ctrl->sortByRole(QStringLiteral("ipRole")); });
    const double selectAll = timeMs([&] { ctrl->selectAll(); });
    int selected = 0;
    const double numSelected = timeMs([&] { selected = view->numSelected(); });
    QCoreApplication::processEvents();
    const double selectOne = timeMs([&] { ctrl->select(1); });
    QCoreApplication::processEvents();
    const int shiftRow = view->count() / 2;
    const double shiftSelect = timeMs([&] { ctrl->shiftSelect(shiftRow); });
    QCoreApplication::processEvents();
    const int shifted = view->numSelected();
    const double clearAll = timeMs([&] { ctrl->setSelectionToAll(false); });
    QCoreApplication::processEvents();

    std::printf("devices                     %d\n", count);
    std::printf("fill (ResetList)            %8.2f ms\n", fill);
    std::printf("setFilter \"10. qd8\"         %8.2f ms  (%d rows visible)\n", filter, visible);
    std::printf("setFilter \"\"                %8.2f ms\n", clearFilter);
    std::printf("sortByRole(\"ipRole\")        %8.2f ms\n", sort);
    std::printf("selectAll                   %8.2f ms\n", selectAll);
    std::printf("numSelected                 %8.2f ms  (%d selected)\n", numSelected, selected);
    std::printf("select(1) after selectAll   %8.2f ms\n", selectOne);
    std::printf("shiftSelect(half the view)  %8.2f ms  (%d selected)\n", shiftSelect, shifted);
    std::printf("setSelectionToAll(false)    %8.2f ms\n", clearAll);
    std::printf("memory per device           %8.0f bytes (RSS %ld -> %ld KiB)\n",
                double(rssAfter - rssBefore) * 1024.0 / count, rssBefore, rssAfter);
    return 0;
}
