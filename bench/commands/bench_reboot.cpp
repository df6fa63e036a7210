// Reboot of a simulated fleet through the reboot page (restart command and verification),
// compared in the same run with curl sending the same POSTs in parallel, and the worst stall of
// the GUI thread meanwhile (lateness of a 10 ms heartbeat).
//
//     bench_reboot [devices]          (default 1000, on 127.0.22.0 and up)

#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CRebootPageCtrl.h"
#include "Settings.h"

#include <QCoreApplication>
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
#include <cstdio>
#include <sys/resource.h>

namespace {

const quint32 kFirstAddress = (127u << 24) | (22u << 8); // 127.0.22.0

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

// Measures how late a 10 ms timer fires: the longest the event loop was kept busy.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0 && now - m_last - 10 * 1000 * 1000 > m_worstNs) {
                m_worstNs = now - m_last - 10 * 1000 * 1000;
                m_worstAtNs = m_last;
            }
            m_last = now;
        });
    }
    void start()
    {
        m_worstNs = 0;
        m_last = -1;
        m_clock.start();
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return m_worstNs / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_worstNs = 0;
    qint64 m_worstAtNs = 0;

public:
    double worstAtMs() const { return m_worstAtNs / 1e6; }
};

bool waitAllOnline(CDeviceSimulator& sim, int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QJsonArray devices = sim.devices();
        int online = 0;
        for (const QJsonValue& d : devices)
            online += d.toObject().value("state").toString() == "online" ? 1 : 0;
        if (online >= count)
            return true;
        QThread::msleep(200);
    }
    return false;
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
    QGuiApplication app(argc, argv);
    raiseFileLimit();
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    const int restartMs = 1000;

    // Short waits for the verification passes: the restart takes restartMs on the simulator.
    {
        QSettings settings(settingsFilePath(), QSettings::IniFormat);
        settings.setValue("restartTimeoutMs", 60000);
        settings.setValue("verifyRestartSleepMs", 1500);
        settings.setValue("verifyRestartTimeoutMS", 30000);
        settings.setValue("verifyRestartRetryTimes", 20);
    }

    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port",
                    QString::number(CFreePort::tcp(QHostAddress(deviceIp(0)))), "--discovery-port",
                    QString::number(CFreePort::udp()), "--restart-ms", QString::number(restartMs),
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
        device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        devices.push_back(device);
    }
    chain.listModel()->ResetList(devices);
    chain.modelCtrl()->selectAll();

    CRebootPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();

    // Command phase: until no row waits for its command reply any more (progress 50 or more).
    Heartbeat heartbeat;
    QElapsedTimer clock;
    qint64 commandMs = -1;
    QObject::connect(&page, &CPageCtrl::progressChanged, [&]() {
        if (commandMs < 0 && page.progress() >= 50)
            commandMs = clock.elapsed();
    });
    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    heartbeat.start();
    clock.start();
    page.start();
    loop.exec();
    const qint64 totalMs = clock.elapsed();
    const double worstStallMs = heartbeat.stop();
    const int failures = page.errorCount();

    if (!waitAllOnline(sim, count, 60000)) {
        std::fprintf(stderr, "devices did not come back before the curl run\n");
        return 1;
    }

    // The same POSTs from curl, all at once.
    QTemporaryDir dir;
    QFile config(dir.filePath("curl.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < count; ++i) {
        config.write(QStringLiteral("url = \"http://%1:%2/cgi-bin/admin/setparam.cgi\"\n"
                                    "digest\nuser = \"root:ardmere1\"\n"
                                    "data = \"system_reset=1\"\noutput = \"/dev/null\"\n"
                                    "write-out = \"%{http_code}\\n\"\n")
                         .arg(deviceIp(i))
                         .arg(httpPort)
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
    std::printf("reboot commands (program)     %lld ms\n", static_cast<long long>(commandMs));
    std::printf("same POSTs (curl --parallel)  %lld ms  (%d answered 200)\n",
                static_cast<long long>(curlMs), curlOk);
    std::printf("ratio program / curl          %.2f\n",
                curlMs > 0 ? double(commandMs) / double(curlMs) : 0.0);
    std::printf("whole run with verification   %lld ms (restart %d ms, first poll after 1500 ms)\n",
                static_cast<long long>(totalMs), restartMs);
    std::printf("devices failed                %d\n", failures);
    std::printf("worst GUI-thread stall        %.1f ms (beginning %.0f ms into the run)\n",
                worstStallMs, heartbeat.worstAtMs());
    QFile::remove(settingsFilePath());
    return 0;
}
