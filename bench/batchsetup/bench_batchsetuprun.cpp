// A full template applied to a simulated fleet through the batch-setup page, then the same POSTs
// sent by curl in parallel to the same cameras in the same run. Reports wall times, the POSTs per
// camera and the worst GUI-thread stall (lateness of a 10 ms heartbeat).
//
//     bench_batchsetuprun [cameras]     (default 1000 cameras of four models, on 127.0.160.0 and
//     up)
//
// The template is read from the first camera; every setting it offers on channel 0 is applied,
// except those that restart the cameras or change their password.

#include "CAppendedDataModel.h"
#include "CBatchSetupPageCtrl.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDevicePackInstaller.h"
#include "CDeviceSimulator.h"
#include "CDeviceSortFilterModel.h"
#include "CFreePort.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSetDevicesParamsCtrl.h"
#include "CSetupContentManager.h"
#include "Settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

const quint32 kFirstAddress = (127u << 24) | (160u << 8); // 127.0.160.0
const QStringList kModels{"QD8182", "QB9365", "QF8360", "QZ9185"};

QString deviceIp(int i)
{
    return QHostAddress(kFirstAddress + static_cast<quint32>(i)).toString();
}

// CPU time the calling thread has used: a stall with little of it was spent waiting for a core.
qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
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
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    {
        QSettings settings(settingsFilePath(), QSettings::IniFormat);
        settings.setValue("batchSetDevicesTimeoutMS", 120000);
    }

    // The sample pack, installed into a directory of this run.
    QTemporaryDir appDir, tempDir, dir;
    const QDir source(QStringLiteral(ARDMERE_SAMPLE_PACK_DIR));
    const QStringList packs = source.entryList({"DevicePack-*.vdp"}, QDir::Files);
    if (packs.size() != 1 ||
        !QFile::copy(source.filePath(packs.first()), QDir(appDir.path()).filePath(packs.first())))
        return 1;
    const CDevicePackInstaller installer(appDir.path(), tempDir.path());
    if (installer.prepareDevicePack().isEmpty())
        return 1;

    const quint16 httpPort = CFreePort::tcp(QHostAddress(deviceIp(0)));
    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(count), "--first-ip", deviceIp(0), "--http-port",
                    QString::number(httpPort), "--https-port", "0", "--discovery-port", "0",
                    "--models", kModels.join(','), "--no-modules"},
                   60000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }

    CMainDeviceChain chain;
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    for (int i = 0; i < count; ++i) {
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = deviceIp(i);
        device->model = kModels.at(i % kModels.size());
        device->cameraModelName = device->model;
        device->firmwareInfo = device->model + QStringLiteral("-QXOR-0104a");
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("ardmere1");
        device->httpPort = httpPort;
        devices.push_back(device);
    }
    chain.listModel()->ResetList(devices);
    chain.modelCtrl()->selectAll();

    CBatchSetupPageCtrl page(installer.workDirectory());
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.TemplateSelectionLayer()->setData(page.TemplateSelectionLayer()->index(0, 0), true,
                                           CDeviceInfo::selectedRole);
    {
        QEventLoop loop;
        int result = -1;
        QObject::connect(&page, &CBatchSetupPageCtrl::readCurrentOptionFromCameraCompleted,
                         [&](int r) {
                             result = r;
                             loop.quit();
                         });
        if (!page.readCurrentOptionFromCamera())
            return 1;
        loop.exec();
        if (result != CCorvaneTableStatus::BatchSetupPage_ImportSuccess) {
            std::fprintf(stderr, "template read failed: %d\n", result);
            return 1;
        }
    }
    CSetupContentManager* manager = page.Manager();
    QVariantList uids;
    QVector<CSetDevicesParamsCtrl::UidChannel> items;
    for (const UISetEntry& entry : manager->Entries()) {
        if (entry.channel != 0 || !entry.set || entry.set->opts().isEmpty() ||
            manager->IsRestartUid(entry.uid))
            continue;
        uids.append(QVariantMap{{"uid", entry.uid}, {"channel", 0}});
        items.append({entry.uid, 0});
    }
    // Long free texts, so that every camera takes several POSTs.
    manager->GetContent("uid_system_hostname", 0).set->setCurrentOpt(QString(3000, 'h'));
    manager->GetContent("uid_ntp_server", 0).set->setCurrentOpt(QString(3000, 'n'));
    page.setUidList(uids);

    // The POSTs each camera gets, for curl.
    QFile config(dir.filePath("curl.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    int posts = 0;
    QHash<QString, QStringList> bodyFiles;
    for (const QString& model : kModels) {
        const auto requests = manager->BuildSetRequests(model, items);
        int n = 0;
        for (auto it = requests.cbegin(); it != requests.cend(); ++it) {
            for (const QString& body : CSetDevicesParamsCtrl::SplitBodies(it.value())) {
                const QString path = dir.filePath(QStringLiteral("%1-%2.body").arg(model).arg(n++));
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly))
                    return 1;
                file.write(body.toUtf8());
                bodyFiles[model].append(it.key() + QLatin1Char('\n') + path);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        for (const QString& entry : bodyFiles.value(kModels.at(i % kModels.size()))) {
            const QStringList parts = entry.split(QLatin1Char('\n'));
            if (posts++ > 0)
                config.write("next\n");
            config.write(QStringLiteral("url = \"http://%1:%2%3\"\ndigest\nuser = "
                                        "\"root:ardmere1\"\ndata-binary = \"@%4\"\n"
                                        "output = \"/dev/null\"\nwrite-out = \"%{http_code}\\n\"\n")
                             .arg(deviceIp(i))
                             .arg(httpPort)
                             .arg(parts.at(0), parts.at(1))
                             .toUtf8());
        }
    }
    config.close();

    qint64 worstStallNs = 0;
    qint64 worstAtMs = -1;
    QElapsedTimer clock;
    int stallsOver50 = 0;
    QElapsedTimer beatClock;
    qint64 lastBeat = -1;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(10);
    qint64 lastCpu = 0;
    qint64 worstCpuNs = 0;
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = beatClock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (lastBeat >= 0) {
            const qint64 late = now - lastBeat - 10 * 1000 * 1000;
            if (late > worstStallNs) {
                worstStallNs = late;
                worstCpuNs = cpu - lastCpu;
                worstAtMs = clock.isValid() ? clock.elapsed() : -1;
            }
            stallsOver50 += late > 50 * 1000 * 1000;
        }
        lastBeat = now;
        lastCpu = cpu;
    });
    QEventLoop loop;
    QObject::connect(&page, &CPageCtrl::completed, &loop, &QEventLoop::quit);
    beatClock.start();
    heartbeat.start();
    // Started from the running loop, so that the heartbeat sees the start itself too.
    qint64 startMs = -1;
    QTimer::singleShot(100, &page, [&]() {
        clock.start();
        page.start();
        startMs = clock.elapsed();
    });
    loop.exec();
    const qint64 runMs = clock.elapsed();
    heartbeat.stop();

    QProcess curl;
    QElapsedTimer curlClock;
    curlClock.start();
    curl.start("curl",
               {"--silent", "--parallel", "--parallel-max", "300", "-K", config.fileName()});
    curl.waitForFinished(600000);
    const qint64 curlMs = curlClock.elapsed();
    const int curlOk = QString::fromLatin1(curl.readAllStandardOutput()).count("200");

    std::printf("cameras, settings              %d, %d UIDs\n", count, int(items.size()));
    std::printf("POSTs per camera               %.2f (%d in all)\n", double(posts) / count, posts);
    std::printf("run (program)                  %lld ms  (%d cameras failed)\n",
                static_cast<long long>(runMs), page.errorCount());
    std::printf("  of which start() (list built) %lld ms\n", static_cast<long long>(startMs));
    std::printf("same POSTs (curl --parallel)   %lld ms  (%d answered 200)\n",
                static_cast<long long>(curlMs), curlOk);
    std::printf("worst GUI-thread stall         %.1f ms (%.1f ms of it the GUI thread's own CPU), "
                "%d above 50 ms, the worst %lld ms into the run\n",
                worstStallNs / 1e6, worstCpuNs / 1e6, stallsOver50,
                static_cast<long long>(worstAtMs));
    QFile::remove(settingsFilePath());
    return page.errorCount() == 0 ? 0 : 2;
}
