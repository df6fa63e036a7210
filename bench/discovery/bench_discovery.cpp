// Discovery figures with a simulated fleet: how long a range discovery over 65,536 addresses and
// a plain discovery take to list every device of the fleet, and how much CPU the library uses.
//
//   bench_discovery [devices=1000] [range-seconds=35]
//
// The fleet lives on 127.0.4.0/22; the range is 127.0.0.0-127.0.255.255. Plain discovery is
// limited to loopback's broadcast address.
#include "CDeviceSimulator.h"
#include "CFreePort.h"
#include "pyxera.h"

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

struct Tally
{
    std::mutex mutex;
    std::condition_variable cond;
    std::set<std::string> devices;
    long answers = 0;
    Clock::time_point start;
    double lastMs = 0;
    double cpuAtLast = 0;

    static int callback(void* context, int eventType, const void* record)
    {
        auto* self = static_cast<Tally*>(context);
        if (eventType != PYXERA_EVENT_ANSWER)
            return 0;
        const auto* r = static_cast<const unsigned char*>(record);
        std::string key(reinterpret_cast<const char*>(r + PYXERA_REC_MAC), 6);
        key += reinterpret_cast<const char*>(r + PYXERA_REC_IP);
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->answers;
        if (self->devices.insert(key).second) {
            self->lastMs =
                std::chrono::duration<double, std::milli>(Clock::now() - self->start).count();
            self->cpuAtLast = cpuMs();
            self->cond.notify_all();
        }
        return 0;
    }
};

bool run(const char* name, quint16 port, int expected, int waitMs, bool ranged, double goalMs)
{
    Tally tally;
    unsigned char params[PYXERA_PARAMS_SIZE] = {};
    params[PYXERA_PARAMS_PORT] = uchar(port);
    params[PYXERA_PARAMS_PORT + 1] = uchar(port >> 8);
    params[PYXERA_PARAMS_MODE] = 1;
    PyxeraHandle h = nullptr;
    if (Pyxera_Create(&h, params) || Pyxera_SetCallback(h, &tally, &Tally::callback) ||
        Pyxera_Start(h)) {
        std::fprintf(stderr, "%s: cannot start the library\n", name);
        return false;
    }
    const double cpu0 = cpuMs();
    tally.start = Clock::now();
    const uint32_t range[2] = {0x7F000000u, 0x7F00FFFFu};
    const int rc = ranged ? Pyxera_DiscoveryByRangeIP(h, range) : Pyxera_Discovery(h);
    if (rc) {
        std::fprintf(stderr, "%s: discovery refused (%d)\n", name, rc);
        return false;
    }
    {
        std::unique_lock<std::mutex> lock(tally.mutex);
        tally.cond.wait_for(lock, std::chrono::milliseconds(waitMs),
                            [&] { return int(tally.devices.size()) >= expected; });
    }
    const double cpuFound = tally.cpuAtLast - cpu0;
    // Let the discovery run on (retries, late answers) for the whole window, as the program does.
    const double elapsed =
        std::chrono::duration<double, std::milli>(Clock::now() - tally.start).count();
    if (elapsed < waitMs) {
        std::unique_lock<std::mutex> lock(tally.mutex);
        tally.cond.wait_for(lock, std::chrono::milliseconds(int(waitMs - elapsed)),
                            [] { return false; });
    }
    const double cpuAll = cpuMs() - cpu0;
    Pyxera_Stop(h);
    Pyxera_Close(&h);
    std::lock_guard<std::mutex> lock(tally.mutex);
    const int found = int(tally.devices.size());
    std::printf("%s: found %d of %d (lost %d), last listed after %.0f ms (goal %.0f ms), "
                "answers %ld, library CPU %.0f ms until the last, %.0f ms over %d ms\n",
                name, found, expected, expected - found, tally.lastMs, goalMs, tally.answers,
                cpuFound, cpuAll, waitMs);
    return found == expected && tally.lastMs <= goalMs;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int devices = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rangeSeconds = argc > 2 ? std::atoi(argv[2]) : 35;
    setenv("PYXERA_LOOPBACK_ONLY", "1", 1);
    const quint16 port = CFreePort::udp();

    CDeviceSimulator sim;
    if (!sim.start({"--count", QString::number(devices), "--first-ip", "127.0.4.1", "--http-port",
                    QString::number(CFreePort::tcp()), "--https-port",
                    QString::number(CFreePort::tcp()), "--discovery-port", QString::number(port)},
                   60000)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 2;
    }
    std::printf("fleet: %d devices on 127.0.4.0/22, discovery port %u\n", sim.deviceCount(), port);
    const bool plainOk = run("plain", port, devices, 5000, false, 5000);
    const bool rangeOk =
        run("range 127.0.0.0-127.0.255.255", port, devices, rangeSeconds * 1000, true, 30000);
    return rangeOk && plainOk ? 0 : 1;
}
