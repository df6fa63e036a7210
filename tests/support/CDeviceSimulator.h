#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs `ardmere-devicesim` for a test and talks to its control interface.
//
//     CDeviceSimulator sim;
//     QVERIFY2(sim.start({"--count", "3", "--first-ip", "127.0.20.1", "--http-port", "8080",
//                         "--https-port", "8443", "--discovery-port", "25678"}),
//              qPrintable(sim.errorString()));
//     sim.setFault("127.0.20.2", "slow", {{"delayMs", 5000}});
//     ... test the program against 127.0.20.1-3 ...
//     QJsonArray got = sim.lastReceived("127.0.20.1"); // what the device was sent
//
// Every area uses its own address range (127.0.N.x) and its own discovery port so that
// simulators of tests running in parallel never meet. Devices' default account: root/ardmere1,
// Digest authentication (see docs/devicesim.md for every option, fault and state key).
//
// All calls block the calling thread (no event loop needed) and may be used from any thread
// but one at a time. The destructor stops the simulator.
class CDeviceSimulator
{
public:
    CDeviceSimulator();
    ~CDeviceSimulator();
    CDeviceSimulator(const CDeviceSimulator&) = delete;
    CDeviceSimulator& operator=(const CDeviceSimulator&) = delete;

    // Starts the simulator with the given command line (without the program) and waits until
    // every device listens ("ready N"). A control port is added when the arguments name none.
    bool start(const QStringList& arguments, int timeoutMs = 20000);
    // SIGTERM, then waits for a clean exit (kills after a few seconds).
    void stop();
    bool isRunning() const;
    QString errorString() const { return m_error; }
    int deviceCount() const { return m_readyCount; }
    quint16 controlPort() const { return m_controlPort; }
    // The exit code of the last stopped simulator (-1 while it runs or if it crashed).
    int exitCode() const { return m_exitCode; }

    // Every device as the control interface lists it ("ip", "state", "firmware", "firstUse",
    // "modules", "fault", ...; without "received").
    QJsonArray devices();
    // One device with everything, "received" included; empty when there is none at ip.
    QJsonObject device(const QString& ip);
    // Faults: "none", "offline", "silent", "slow", "status", "redirect-once", "redirect-loop",
    // "reset", "garbage", "truncated", "endless", "auth-reject", "refuse-uploads". params may
    // hold "status", "delayMs", "path" (only requests below this path), "location".
    bool setFault(const QString& ip, const QString& fault, const QJsonObject& params = {});
    // Changes state: keys as in the listing ("password", "firstUse", "firmwareVersion",
    // "modules", "sdCards", "params", "restartMs", "dhcpAddress", "ip", ...).
    bool setState(const QString& ip, const QJsonObject& changes);
    // What the device received, oldest first: {"method", "path", "query", "body", "parts":
    // [{"name", "fileName", "size"}], "time"}.
    QJsonArray lastReceived(const QString& ip);
    bool clearReceived(const QString& ip);
    bool restart(const QString& ip);
    // Adds a device (JSON description as for --fleet); answers the new device or empty.
    QJsonObject addDevice(const QJsonObject& description);
    bool removeDevice(const QString& ip);
    // Polls until the device's "state" equals state ("online", "restarting", "offline",
    // "unreachable"); false on time-out.
    bool waitForState(const QString& ip, const QString& state, int timeoutMs = 20000);

    static QString binaryPath();

private:
    // One control request; returns the HTTP status (0 on a connection failure).
    int control(const QByteArray& method, const QString& path, const QJsonObject& body,
                QByteArray* reply);
    bool controlObject(const QByteArray& method, const QString& path, const QJsonObject& body,
                       QJsonObject* out);

    QProcess m_process;
    QString m_error;
    int m_readyCount = 0;
    quint16 m_controlPort = 0;
    int m_exitCode = -1;
};
