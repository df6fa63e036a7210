#include "CDeviceSimulator.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QThread>

#ifndef ARDMERE_DEVICESIM_PATH
#define ARDMERE_DEVICESIM_PATH "ardmere-devicesim"
#endif

namespace {
constexpr int kControlTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 5000;
} // namespace

CDeviceSimulator::CDeviceSimulator()
{
    // The simulator's complaints (a port in use, a bad option) belong in the test's log.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

CDeviceSimulator::~CDeviceSimulator()
{
    stop();
}

QString CDeviceSimulator::binaryPath()
{
    const QByteArray fromEnv = qgetenv("ARDMERE_DEVICESIM");
    return fromEnv.isEmpty() ? QStringLiteral(ARDMERE_DEVICESIM_PATH)
                             : QString::fromLocal8Bit(fromEnv);
}

bool CDeviceSimulator::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

bool CDeviceSimulator::start(const QStringList& arguments, int timeoutMs)
{
    stop();
    m_error.clear();
    m_readyCount = 0;
    m_controlPort = 0;
    m_exitCode = -1;
    QStringList args = arguments;
    if (!args.contains(QStringLiteral("--control-port")))
        args << QStringLiteral("--control-port") << QStringLiteral("0");
    m_process.start(binaryPath(), args, QIODevice::ReadOnly);
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(binaryPath(), m_process.errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("control "))
                m_controlPort = static_cast<quint16>(line.mid(8).toUInt());
            else if (line.startsWith("ready ")) {
                m_readyCount = line.mid(6).toInt();
                if (m_controlPort == 0) {
                    const int at = args.indexOf(QStringLiteral("--control-port"));
                    m_controlPort = static_cast<quint16>(args.value(at + 1).toUInt());
                }
                return true;
            }
        }
        if (m_process.state() != QProcess::Running) {
            m_exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
            m_error = QStringLiteral("the simulator exited before it was ready (exit code %1)")
                          .arg(m_process.exitCode());
            return false;
        }
        m_process.waitForReadyRead(100);
    }
    m_error = QStringLiteral("the simulator was not ready within %1 ms").arg(timeoutMs);
    stop();
    return false;
}

void CDeviceSimulator::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(kStopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(kStopTimeoutMs);
    }
    m_exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int CDeviceSimulator::control(const QByteArray& method, const QString& path,
                              const QJsonObject& body, QByteArray* reply)
{
    if (m_controlPort == 0)
        return 0;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_controlPort);
    if (!socket.waitForConnected(kControlTimeoutMs))
        return 0;
    const QByteArray payload =
        body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact);
    QByteArray request = method + ' ' + path.toUtf8() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n";
    request +=
        "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(payload.size()) +
        "\r\n\r\n" + payload;
    socket.write(request);
    QByteArray response;
    QElapsedTimer clock;
    clock.start();
    // HTTP/1.0: the server closes the connection after its reply.
    while (socket.state() == QAbstractSocket::ConnectedState &&
           clock.elapsed() < kControlTimeoutMs) {
        socket.waitForReadyRead(200);
        response += socket.readAll();
    }
    response += socket.readAll();
    const int headerEnd = response.indexOf("\r\n\r\n");
    if (!response.startsWith("HTTP/") || headerEnd < 0)
        return 0;
    const QList<QByteArray> statusLine = response.left(response.indexOf("\r\n")).split(' ');
    if (reply)
        *reply = response.mid(headerEnd + 4);
    return statusLine.value(1).toInt();
}

bool CDeviceSimulator::controlObject(const QByteArray& method, const QString& path,
                                     const QJsonObject& body, QJsonObject* out)
{
    QByteArray reply;
    const int status = control(method, path, body, &reply);
    const QJsonDocument doc = QJsonDocument::fromJson(reply);
    if (status != 200) {
        m_error = QStringLiteral("%1 %2: %3 %4")
                      .arg(QString::fromUtf8(method), path)
                      .arg(status)
                      .arg(doc.object().value(QStringLiteral("error")).toString());
        return false;
    }
    if (out)
        *out = doc.object();
    return true;
}

QJsonArray CDeviceSimulator::devices()
{
    QJsonObject reply;
    if (!controlObject("GET", QStringLiteral("/devices"), {}, &reply))
        return {};
    return reply.value(QStringLiteral("devices")).toArray();
}

QJsonObject CDeviceSimulator::device(const QString& ip)
{
    QJsonObject reply;
    controlObject("GET", QStringLiteral("/devices/") + ip, {}, &reply);
    return reply;
}

bool CDeviceSimulator::setFault(const QString& ip, const QString& fault, const QJsonObject& params)
{
    QJsonObject body = params;
    body.insert(QStringLiteral("kind"), fault);
    return controlObject("POST", QStringLiteral("/devices/%1/fault").arg(ip), body, nullptr);
}

bool CDeviceSimulator::setState(const QString& ip, const QJsonObject& changes)
{
    return controlObject("POST", QStringLiteral("/devices/") + ip, changes, nullptr);
}

QJsonArray CDeviceSimulator::lastReceived(const QString& ip)
{
    QByteArray reply;
    if (control("GET", QStringLiteral("/devices/%1/received").arg(ip), {}, &reply) != 200)
        return {};
    return QJsonDocument::fromJson(reply).array();
}

bool CDeviceSimulator::clearReceived(const QString& ip)
{
    return control("DELETE", QStringLiteral("/devices/%1/received").arg(ip), {}, nullptr) == 200;
}

bool CDeviceSimulator::restart(const QString& ip)
{
    return controlObject("POST", QStringLiteral("/devices/%1/restart").arg(ip), {}, nullptr);
}

QJsonObject CDeviceSimulator::addDevice(const QJsonObject& description)
{
    QJsonObject reply;
    controlObject("POST", QStringLiteral("/devices"), description, &reply);
    return reply;
}

bool CDeviceSimulator::removeDevice(const QString& ip)
{
    return controlObject("DELETE", QStringLiteral("/devices/") + ip, {}, nullptr);
}

bool CDeviceSimulator::waitForState(const QString& ip, const QString& state, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (device(ip).value(QStringLiteral("state")).toString() == state)
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
}
