// Reboot of a simulated fleet through the reboot page (restart command and verification),
// compared in the same run with curl sending the same POSTs in parallel, and the worst stall of
// the GUI thread meanwhile (lateness of a 10 ms heartbeat).
//
//     bench_reboot [devices]          (default 1000, on 127.0.22.0 and up)
//
// A stall is split into the GUI thread's own CPU time and the rest (waiting for a core or for a
// lock held by a network thread, which a loaded machine stretches). To see what filled the worst
// stall, record with `perf record -k CLOCK_MONOTONIC --call-graph dwarf` and look at the GUI
// thread around the printed monotonic time.

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
#include <ctime>
#include <sys/resource.h>

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

const quint32 kFirstAddress = (127u << 24) | (22u << 8); // 127.0.22.0

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Measures how late a 10 ms timer fires: the longest the event loop was kept from it. On a shared
// machine much of such a stall can be time the thread spent waiting for a core, so the CPU time
// the GUI thread itself used between two beats is recorded too: that part is the program's work.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kIntervalNs / 1000000);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() { beat(); });
    }
    void start()
    {
        m_state = State();
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }

    double worstStallMs() const { return m_state.worstNs / 1e6; }
    double worstStallCpuMs() const { return m_state.worstCpuNs / 1e6; }
    double worstAtMs() const { return m_state.worstAtNs / 1e6; }
    // CLOCK_MONOTONIC of the worst stall's beginning, to find it in a profile recorded with
    // perf record -k CLOCK_MONOTONIC.
    double worstAtMonotonicS() const { return m_state.worstAtMonotonicNs / 1e9; }
    double busiestGapCpuMs() const { return m_state.busiestCpuNs / 1e6; }
    double busiestAtMs() const { return m_state.busiestAtNs / 1e6; }
    int stallsOver50Ms() const { return m_state.over50; }

private:
    static constexpr qint64 kIntervalNs = 10 * 1000 * 1000;

    struct State
    {
        qint64 last = -1;
        qint64 lastCpu = 0;
        qint64 worstNs = 0;
        qint64 worstCpuNs = 0;
        qint64 worstAtNs = 0;
        qint64 worstAtMonotonicNs = 0;
        qint64 busiestCpuNs = 0;
        qint64 busiestAtNs = 0;
        int over50 = 0;
    };

    void beat()
    {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (m_state.last >= 0) {
            const qint64 late = now - m_state.last - kIntervalNs;
            const qint64 used = cpu - m_state.lastCpu;
            if (late > m_state.worstNs) {
                m_state.worstNs = late;
                m_state.worstCpuNs = used;
                m_state.worstAtNs = m_state.last;
                m_state.worstAtMonotonicNs = monotonicNs() - (now - m_state.last);
            }
            if (used > m_state.busiestCpuNs) {
                m_state.busiestCpuNs = used;
                m_state.busiestAtNs = m_state.last;
            }
            if (late > 50 * 1000 * 1000)
                ++m_state.over50;
        }
        m_state.last = now;
        m_state.lastCpu = cpu;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    State m_state;
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
    heartbeat.stop();
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
    std::printf("worst GUI-thread stall        %.1f ms (%.1f ms of it the GUI thread's own CPU "
                "time; beginning %.0f ms into the run, monotonic clock %.6f s)\n",
                heartbeat.worstStallMs(), heartbeat.worstStallCpuMs(), heartbeat.worstAtMs(),
                heartbeat.worstAtMonotonicS());
    std::printf("stalls above 50 ms            %d\n", heartbeat.stallsOver50Ms());
    std::printf("most GUI-thread CPU between two beats  %.1f ms (%.0f ms into the run)\n",
                heartbeat.busiestGapCpuMs(), heartbeat.busiestAtMs());
    QFile::remove(settingsFilePath());
    return 0;
}
