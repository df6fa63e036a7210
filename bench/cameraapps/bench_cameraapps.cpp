// Camera applications on a simulated fleet (127.3.0.1 and up).
//
//     bench_cameraapps discovery [devices]     (default 500) module discovery through the
//         application page: wall time, peak thread count and peak resident memory
//     bench_cameraapps package [devices] [MB]  (default 500, 20) one package installed through
//         the package page, then the same file uploaded by curl --parallel to the same devices
//
// The simulator holds each upload's body in memory while it arrives, so the package run needs
// about devices x MB of memory in the simulator; the program streams the file.

#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSetDevicesCtrl.h"
#include "CZAPKLeftModel.h"
#include "CZAPKPageCtrl.h"
#include "CZapkPackagePageCtrl.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

namespace {

const quint32 kFirstAddress = (127u << 24) | (3u << 16) | 1u; // 127.3.0.1

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

long statusValue(const char* key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void fillMainList(CMainDeviceChain& chain, int count, quint16 httpPort)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i = 0; i < count; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->model = QStringLiteral("QD8182");
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

int runDiscovery(int count)
{
    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0"},
                   120000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    CMainDeviceChain chain;
    fillMainList(chain, count, httpPort);
    CZAPKPageCtrl page;
    page.SetMainDeviceList(chain.sortFilterModel());
    const long threadsBefore = statusValue("Threads:");
    const long rssBefore = statusValue("VmRSS:");
    std::atomic<bool> sampling{true};
    std::atomic<long> peakThreads{threadsBefore};
    std::thread sampler([&] {
        while (sampling) {
            const long now = statusValue("Threads:");
            if (now > peakThreads)
                peakThreads = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    QEventLoop loop;
    QObject::connect(&page, &CZAPKPageCtrl::searchEnd, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    page.enterPage();
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 ms = clock.elapsed();
    sampling = false;
    sampler.join();
    int devices = 0;
    for (int row = 0; row < page.ButtonModel()->rowCount(); ++row)
        devices += page.ButtonModel()->index(row, 0).data(CZAPKLeftModel::devicecount).toInt();
    std::printf("devices asked                  %d\n", count);
    std::printf("discovery wall time            %lld ms\n", static_cast<long long>(ms));
    std::printf("module rows, left-panel rows   %d, %d (devices counted %d)\n",
                page.OperationModel()->rowCount(), page.ButtonModel()->rowCount(), devices);
    std::printf("threads                        %ld before, %ld peak (pool of %d)\n", threadsBefore,
                long(peakThreads), CZAPKPageCtrl::kMaxDiscoveryThreads);
    std::printf("resident memory                %ld MB before, %ld MB peak\n", rssBefore / 1024,
                peakRssKb() / 1024);
    return devices > 0 && devices == page.OperationModel()->rowCount() ? 0 : 2;
}

int runPackage(int count, int megabytes)
{
    QTemporaryDir dir;
    const QString packagePath = dir.filePath("VCA_2.3.1.zapk");
    {
        QFile file(packagePath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray block(1024 * 1024, '\x5a');
        for (int i = 0; i < megabytes; ++i)
            file.write(block);
    }
    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0",
                    "--no-modules"},
                   120000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    CMainDeviceChain chain;
    fillMainList(chain, count, httpPort);
    CZapkPackagePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    const long rssBefore = statusValue("VmRSS:");
    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    page.start(page.addFilePath(QUrl::fromLocalFile(packagePath)));
    loop.exec();
    const qint64 uploadMs = clock.elapsed();
    int installed = 0;
    for (int row = 0; row < page.StatusLayer()->rowCount(); ++row)
        installed += CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(row, 0), "1") == 603;

    QFile config(dir.filePath("curl.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < count; ++i) {
        config.write(QStringLiteral("url = \"http://%1:%2/cgi-bin/admin/upload_zapk.cgi\"\n"
                                    "digest\nuser = \"root:ardmere1\"\n"
                                    "form = \"uploadZapk=@%3\"\noutput = \"/dev/null\"\n"
                                    "write-out = \"%{http_code}\\n\"\n")
                         .arg(deviceIp(i))
                         .arg(httpPort)
                         .arg(packagePath)
                         .toUtf8());
        if (i + 1 < count)
            config.write("next\n");
    }
    config.close();
    QProcess curl;
    QElapsedTimer curlClock;
    curlClock.start();
    curl.start("curl",
               {"--silent", "--parallel", "--parallel-max", "300", "-K", config.fileName()});
    curl.waitForFinished(900000);
    const qint64 curlMs = curlClock.elapsed();
    const int curlOk = QString::fromLatin1(curl.readAllStandardOutput()).count("200");
    std::printf("devices, package               %d, %d MB\n", count, megabytes);
    std::printf("install (program, both passes) %lld ms, %d installed (603)\n",
                static_cast<long long>(uploadMs), installed);
    std::printf("same uploads (curl --parallel) %lld ms  (%d answered 200)\n",
                static_cast<long long>(curlMs), curlOk);
    std::printf("program resident memory        %ld MB before, %ld MB peak\n", rssBefore / 1024,
                peakRssKb() / 1024);
    return installed == count ? 0 : 2;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    QGuiApplication app(argc, argv);
    raiseFileLimit();
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("discovery");
    const int count = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 500;
    if (mode == QLatin1String("package"))
        return runPackage(count, argc > 3 ? QString::fromLatin1(argv[3]).toInt() : 20);
    return runDiscovery(count);
}
