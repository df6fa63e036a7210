// One firmware file uploaded to a simulated fleet through the firmware page (upload, restart and
// verification), then the same file uploaded by curl in parallel to the same devices in the same
// run. Reports wall times, the program's peak resident memory and the worst GUI-thread stall
// (lateness of a 10 ms heartbeat).
//
//     bench_firmwareupload [devices] [MB]     (default 200 devices, 64 MB, on 127.0.152.0 and up)
//
// The simulator keeps each upload's body in memory while it arrives (libevent reads a request
// whole), so it needs about devices x MB of memory itself; the program streams the file.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFirmwarePageCtrl.h"
#include "CFirmwarePageModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSetDevicesCtrl.h"
#include "Settings.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <sys/resource.h>

namespace {

const quint32 kFirstAddress = (127u << 24) | (152u << 8); // 127.0.152.0

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentRssKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

bool waitAllOnline(CDeviceSimulator& sim, int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        int online = 0;
        for (const QJsonValue& d : sim.devices())
            online += d.toObject().value("state").toString() == "online" ? 1 : 0;
        if (online >= count)
            return true;
        QThread::msleep(200);
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    QGuiApplication app(argc, argv);
    raiseFileLimit();
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 200;
    const int megabytes = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 64;
    const int restartMs = 1000;
    {
        QSettings settings(settingsFilePath(), QSettings::IniFormat);
        settings.setValue("uploadFirmwareTimeoutMs", 600000);
        settings.setValue("verifyFirmwareSleepMs", 1000);
        settings.setValue("verifyFirmwareTimeoutMS", 30000);
        settings.setValue("verifyFirmwareRetryTimes", 60);
    }

    QTemporaryDir dir;
    const QString firmwarePath = dir.filePath("QD8182-QXOR-0205a.pkg");
    {
        QFile file(firmwarePath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("ARDMERE-FIRMWARE model=QD8182 version=0205a\n");
        const QByteArray block(1024 * 1024, '\x5a');
        for (int i = 0; i < megabytes; ++i)
            file.write(block);
    }

    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0",
                    "--models", "QD8182", "--restart-ms", QString::number(restartMs),
                    "--no-modules"},
                   60000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }

    CMainDeviceChain chain;
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    for (int i = 0; i < count; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->model = QStringLiteral("QD8182");
        device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
        device->firmware = QStringLiteral("0104a");
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        devices.push_back(device);
    }
    chain.listModel()->ResetList(devices);
    chain.modelCtrl()->selectAll();

    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setFirmwarePath(0, QUrl::fromLocalFile(firmwarePath));
    const long rssBeforeKb = currentRssKb();

    // The upload phase ends when no device waits for its upload reply (group progress >= 50).
    QElapsedTimer clock;
    qint64 uploadMs = -1;
    QObject::connect(page.PageModel(), &QAbstractItemModel::dataChanged, [&]() {
        if (uploadMs < 0 &&
            page.PageModel()->index(0, 0).data(CFirmwarePageModel::progressRole).toInt() >= 50)
            uploadMs = clock.elapsed();
    });
    qint64 worstStallNs = 0;
    int stallsOver50 = 0;
    QElapsedTimer beatClock;
    qint64 lastBeat = -1;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(10);
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = beatClock.nsecsElapsed();
        if (lastBeat >= 0) {
            const qint64 late = now - lastBeat - 10 * 1000 * 1000;
            worstStallNs = qMax(worstStallNs, late);
            stallsOver50 += late > 50 * 1000 * 1000;
        }
        lastBeat = now;
    });
    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    beatClock.start();
    heartbeat.start();
    clock.start();
    page.start(0);
    loop.exec();
    const qint64 totalMs = clock.elapsed();
    heartbeat.stop();
    const long peakKb = peakRssKb();
    int upgraded = 0;
    for (int row = 0; row < page.StatusLayer()->rowCount(); ++row)
        upgraded += CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(row, 0), "firmware") ==
                    CCorvaneTableStatus::FirmwarePage_Success;

    if (!waitAllOnline(sim, count, 120000)) {
        std::fprintf(stderr, "devices did not come back before the curl run\n");
        return 1;
    }
    // The same upload from curl, all devices at once (curl caps --parallel-max at 300).
    QFile config(dir.filePath("curl.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < count; ++i) {
        config.write(QStringLiteral("url = \"http://%1:%2/cgi-bin/admin/upgrade.cgi\"\n"
                                    "digest\nuser = \"root:ardmere1\"\n"
                                    "form = \"fimage=@%3\"\noutput = \"/dev/null\"\n"
                                    "write-out = \"%{http_code}\\n\"\n")
                         .arg(deviceIp(i))
                         .arg(httpPort)
                         .arg(firmwarePath)
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
    curl.waitForFinished(600000);
    const qint64 curlMs = curlClock.elapsed();
    const int curlOk = QString::fromLatin1(curl.readAllStandardOutput()).count("200");

    std::printf("devices, file                  %d, %d MB\n", count, megabytes);
    std::printf("uploads (program)              %lld ms\n", static_cast<long long>(uploadMs));
    std::printf("same uploads (curl --parallel) %lld ms  (%d answered 200)\n",
                static_cast<long long>(curlMs), curlOk);
    std::printf("whole run with verification    %lld ms (restart %d ms, polls every 1000 ms)\n",
                static_cast<long long>(totalMs), restartMs);
    std::printf("devices upgraded (403)         %d of %d\n", upgraded, count);
    std::printf("program resident memory        %ld MB before the run, %ld MB peak\n",
                rssBeforeKb / 1024, peakKb / 1024);
    std::printf("worst GUI-thread stall         %.1f ms (%d above 50 ms)\n", worstStallNs / 1e6,
                stallsOver50);
    QFile::remove(settingsFilePath());
    return upgraded == count ? 0 : 2;
}
