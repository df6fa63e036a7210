// Device-list export of a simulated fleet, against curl fetching the same getparam from the same
// fleet in the same run.
//
//     bench_exportdevices [devices]      (default 1000, on 127.0.126.0 and up)

#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CExportDevicesPageCtrl.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <sys/resource.h>

namespace {

const quint32 kFirstAddress = (127u << 24) | (126u << 8); // 127.0.126.0

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

const char* const kQuery =
    "system_hostname&system_servername&network_ipaddress&network_http_port&network_https_port"
    "&network_resetip&system_info_modelname&system_info_extendedmodelname"
    "&system_info_serialnumber&system_info_firmwareversion";

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    QGuiApplication app(argc, argv);
    raiseFileLimit();
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;

    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0"},
                   60000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    CMainDeviceChain chain;
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    for (int i = 0; i < count; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        devices.push_back(device);
    }
    chain.listModel()->ResetList(devices);
    chain.modelCtrl()->selectAll();

    QTemporaryDir dir;
    CExportDevicesPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    const QString csv = dir.filePath("devices.csv");
    QElapsedTimer clock;
    clock.start();
    page.start(QUrl::fromLocalFile(csv));
    loop.exec();
    const qint64 programMs = clock.elapsed();
    QFile file(csv);
    int lines = 0;
    if (file.open(QIODevice::ReadOnly))
        lines = file.readAll().count('\n') - 1;

    // The same requests from curl, all at once.
    QFile config(dir.filePath("curl.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < count; ++i) {
        config.write(QStringLiteral("url = \"http://%1:%2/cgi-bin/admin/getparam.cgi?%3\"\n"
                                    "digest\nuser = \"root:ardmere1\"\noutput = \"/dev/null\"\n"
                                    "write-out = \"%{http_code}\\n\"\n")
                         .arg(deviceIp(i))
                         .arg(httpPort)
                         .arg(QLatin1String(kQuery))
                         .toUtf8());
        if (i + 1 < count)
            config.write("next\n");
    }
    config.close();
    QProcess curl;
    QElapsedTimer curlClock;
    curlClock.start();
    curl.start("curl",
               {"--silent", "--parallel", "--parallel-max", "1000", "-K", config.fileName()});
    curl.waitForFinished(120000);
    const qint64 curlMs = curlClock.elapsed();
    const int curlOk = QString::fromLatin1(curl.readAllStandardOutput()).count("200");

    std::printf("devices                       %d\n", count);
    std::printf("device-list export (program)  %lld ms (%d lines written, %d failed)\n",
                static_cast<long long>(programMs), lines, page.errorCount());
    std::printf("same getparam (curl --parallel) %lld ms (%d answered 200)\n",
                static_cast<long long>(curlMs), curlOk);
    std::printf("ratio program / curl          %.2f\n",
                curlMs > 0 ? double(programMs) / double(curlMs) : 0.0);
    return page.errorCount() == 0 ? 0 : 1;
}
