// Debug export of a simulated fleet whose server reports are several MB: wall time and the
// program's peak resident memory.
//
//     bench_exportdebug [devices] [report MB] [devices in flight]
//                       (default 500, 4, the controller's own bound; 0: every device at once)
//
// Devices on 127.0.130.0 and up. The files go to a temporary folder that is removed at the end.

#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CExportDebugCtrl.h"
#include "CExportDebugPageCtrl.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <sys/resource.h>

namespace {

const quint32 kFirstAddress = (127u << 24) | (130u << 8); // 127.0.130.0

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

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

// Starts a new peak: VmHWM counts from here on.
void resetPeak()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    QGuiApplication app(argc, argv);
    raiseFileLimit();
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 500;
    const int reportMb = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 4;
    const int inFlight = argc > 3 ? QString::fromLatin1(argv[3]).toInt() : -1;

    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0",
                    "--report-bytes", QString::number(reportMb * 1024 * 1024)},
                   60000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    CMainDeviceChain chain;
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    for (const QJsonValue& value : sim.devices()) {
        const QJsonObject d = value.toObject();
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = d.value("ip").toString();
        device->model = d.value("model").toString();
        device->mac = d.value("mac").toString();
        device->firmwareInfo = d.value("firmware").toString();
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        devices.push_back(device);
    }
    chain.listModel()->ResetList(devices);
    chain.modelCtrl()->selectAll();

    QTemporaryDir root;
    CExportDebugPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExportRootDirToUrl(QUrl::fromLocalFile(root.path()));
    if (inFlight == 0)
        page.DevicesCtrl()->SetDevicesInFlight(count);
    else if (inFlight > 0)
        page.DevicesCtrl()->SetDevicesInFlight(inFlight);

    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    const qint64 rssBefore = statusKb("VmRSS:");
    resetPeak();
    QElapsedTimer clock;
    clock.start();
    page.start();
    loop.exec();
    const qint64 wallMs = clock.elapsed();
    const qint64 peak = statusKb("VmHWM:");

    qint64 bytes = 0;
    int files = 0;
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
        ++files;
    }
    std::printf("devices                  %d (report %d MB)\n", count, reportMb);
    std::printf("devices in flight        %s\n",
                inFlight == 0 ? "all"
                : inFlight > 0
                    ? qPrintable(QString::number(inFlight))
                    : qPrintable(QString::number(CExportDebugCtrl::kDefaultDevicesInFlight)));
    std::printf("wall time                %lld ms\n", static_cast<long long>(wallMs));
    std::printf("written                  %d files, %.1f MB\n", files, bytes / 1048576.0);
    std::printf("devices failed           %d\n", page.errorCount());
    std::printf("resident memory          %lld kB before the run, peak %lld kB during it\n",
                static_cast<long long>(rssBefore), static_cast<long long>(peak));
    return page.errorCount() == 0 ? 0 : 1;
}
