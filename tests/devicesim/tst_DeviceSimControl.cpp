// The control interface: listing, changing, adding and removing devices, and the record of
// what each device received.
#include "CCurl.h"
#include "CDeviceSimulator.h"
#include "CFreePort.h"

#include <QJsonArray>
#include <QtTest>

namespace {
const QString kFirst = QStringLiteral("127.0.10.1");
const QString kPort = QStringLiteral("18080");
QString url(const QString& ip, const QString& path)
{
    return QStringLiteral("http://%1:%2%3").arg(ip, kPort, path);
}
} // namespace

class tst_DeviceSimControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsTheFleetFromTheCommandLine();
    void recordsWhatDevicesReceive();
    void changesStateThroughControl();
    void changesStateThroughControl_data();
    void rejectsInvalidChanges_data();
    void rejectsInvalidChanges();
    void addsAndRemovesDevices();
    void commandLine_data();
    void commandLine();
    void fleetFileDescribesDevices();

private:
    CDeviceSimulator m_sim;
};

void tst_DeviceSimControl::initTestCase()
{
    QVERIFY2(
        m_sim.start({"--count", "4", "--first-ip", kFirst, "--http-port", kPort, "--https-port",
                     "18443", "--recorders", "1", "--factory-new", "1", "--discovery-port",
                     QString::number(CFreePort::udp()), "--models", "QD8182,QB9365"}),
        qPrintable(m_sim.errorString()));
    QCOMPARE(m_sim.deviceCount(), 4);
}

void tst_DeviceSimControl::listsTheFleetFromTheCommandLine()
{
    const QJsonArray devices = m_sim.devices();
    QCOMPARE(devices.size(), 4);
    const QStringList expectedModels{"QD8182", "QB9365", "QD8182", "NR9782"};
    QSet<QString> macs;
    for (int i = 0; i < devices.size(); ++i) {
        const QJsonObject d = devices[i].toObject();
        QCOMPARE(d["ip"].toString(), QStringLiteral("127.0.10.%1").arg(i + 1));
        QCOMPARE(d["model"].toString(), expectedModels[i]);
        QCOMPARE(d["firmware"].toString(), expectedModels[i] + "-QXOR-0104a");
        QCOMPARE(d["recorder"].toBool(), i == 3);
        QCOMPARE(d["firstUse"].toBool(), i == 0);
        QCOMPARE(d["state"].toString(), QStringLiteral("online"));
        // Locally administered MACs, upper-case pairs joined by "-", one per device.
        const QString mac = d["mac"].toString();
        QVERIFY2(QRegularExpression("^02(-[0-9A-F]{2}){5}$").match(mac).hasMatch(),
                 qPrintable(mac));
        QCOMPARE(d["serial"].toString(), QString(mac).remove('-'));
        macs.insert(mac);
    }
    QCOMPARE(macs.size(), 4);
}

void tst_DeviceSimControl::recordsWhatDevicesReceive()
{
    const QString ip = "127.0.10.2";
    QVERIFY(m_sim.clearReceived(ip));
    CCurl::run({"--digest", "-u", "root:ardmere1", "--data", "system_hostname=Lobby%20cam&x=1",
                url(ip, "/cgi-bin/admin/setparam.cgi")});
    QTemporaryFile file("fw-XXXXXX.bin");
    QVERIFY(file.open());
    file.write(QByteArray(3000, 'f'));
    file.flush();
    CCurl::run({"--digest", "-u", "root:ardmere1", "-F",
                "uploadZapkLicense=@" + file.fileName() + ";filename=lic.xml",
                url(ip, "/cgi-bin/admin/upload_zapklicense.cgi")});

    QJsonArray received = m_sim.lastReceived(ip);
    // Digest answers the first try of each request with 401; both tries are recorded.
    QJsonObject post, upload;
    for (const QJsonValue& v : received) {
        const QJsonObject r = v.toObject();
        if (r["path"] == "/cgi-bin/admin/setparam.cgi")
            post = r;
        if (r["path"] == "/cgi-bin/admin/upload_zapklicense.cgi" && r.contains("parts"))
            upload = r;
    }
    QCOMPARE(post["method"].toString(), QStringLiteral("POST"));
    QCOMPARE(post["body"].toString(), QStringLiteral("system_hostname=Lobby%20cam&x=1"));
    const QJsonObject part = upload["parts"].toArray().first().toObject();
    QCOMPARE(part["name"].toString(), QStringLiteral("uploadZapkLicense"));
    QCOMPARE(part["fileName"].toString(), QStringLiteral("lic.xml"));
    QCOMPARE(part["size"].toInt(), 3000);

    QVERIFY(m_sim.clearReceived(ip));
    QVERIFY(m_sim.lastReceived(ip).isEmpty());
}

void tst_DeviceSimControl::changesStateThroughControl_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QJsonObject>("changes");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("expectedLine");

    QTest::newRow("firmware version")
        << "127.0.10.3" << QJsonObject{{"firmwareVersion", "0200b"}}
        << "system_info_firmwareversion"
        << QByteArray("system_info_firmwareversion='QD8182-QXOR-0200b'");
    QTest::newRow("added parameter")
        << "127.0.10.3" << QJsonObject{{"params", QJsonObject{{"foo_bar", "baz"}}}} << "foo"
        << QByteArray("foo_bar='baz'");
    QTest::newRow("module list")
        << "127.0.10.3"
        << QJsonObject{{"modules",
                        QJsonArray{QJsonObject{{"index", 7}, {"name", "VCA"}, {"version", "9.9"}}}}}
        << "zapk_module_i7_version" << QByteArray("zapk_module_i7_version='9.9'");
    QTest::newRow("extended model")
        << "127.0.10.3" << QJsonObject{{"extendedModel", ""}} << "system_info_extendedmodelname"
        << QByteArray("system_info_extendedmodelname=''");
}

void tst_DeviceSimControl::changesStateThroughControl()
{
    QFETCH(QString, ip);
    QFETCH(QJsonObject, changes);
    QFETCH(QString, query);
    QFETCH(QByteArray, expectedLine);
    QVERIFY2(m_sim.setState(ip, changes), qPrintable(m_sim.errorString()));
    const CCurl::SResult r =
        CCurl::get(url(ip, "/cgi-bin/admin/getparam.cgi?" + query), "root", "ardmere1");
    QCOMPARE(r.status, 200);
    QVERIFY2(r.body.split('\n').contains(expectedLine + '\r'), r.body.constData());
}

void tst_DeviceSimControl::rejectsInvalidChanges_data()
{
    QTest::addColumn<QJsonObject>("changes");
    QTest::newRow("unknown key") << QJsonObject{{"colour", "red"}};
    QTest::newRow("dash in version") << QJsonObject{{"firmwareVersion", "1-2"}};
    QTest::newRow("bad auth") << QJsonObject{{"auth", "ntlm"}};
    QTest::newRow("wrong type") << QJsonObject{{"firstUse", "yes"}};
    QTest::newRow("unknown fault") << QJsonObject{{"fault", "explode"}};
}

void tst_DeviceSimControl::rejectsInvalidChanges()
{
    QFETCH(QJsonObject, changes);
    const QJsonObject before = m_sim.device("127.0.10.2");
    QVERIFY(!m_sim.setState("127.0.10.2", changes));
    QJsonObject after = m_sim.device("127.0.10.2");
    before.value("received");
    after.remove("received");
    QJsonObject beforeCopy = before;
    beforeCopy.remove("received");
    QCOMPARE(after, beforeCopy);
}

void tst_DeviceSimControl::addsAndRemovesDevices()
{
    const QJsonObject added =
        m_sim.addDevice({{"ip", "127.0.10.20"}, {"model", "ND9541"}, {"password", "Other123"}});
    QCOMPARE(added["ip"].toString(), QStringLiteral("127.0.10.20"));
    QCOMPARE(added["recorder"].toBool(), true); // recognised by its model prefix
    QCOMPARE(CCurl::get(url("127.0.10.20", "/cgi-bin/admin/getparam.cgi?system_info_modelname"),
                        "root", "Other123")
                 .body,
             QByteArray("system_info_modelname='ND9541'\r\n"));
    // Two devices cannot share an address.
    QVERIFY(m_sim.addDevice({{"ip", "127.0.10.20"}}).isEmpty());

    QVERIFY(m_sim.removeDevice("127.0.10.20"));
    QCOMPARE(m_sim.devices().size(), 4);
    // Nothing listens there any more: curl's "could not connect".
    QCOMPARE(CCurl::get(url("127.0.10.20", "/")).exitCode, 7);
}

void tst_DeviceSimControl::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<int>("exitCode");

    const QString discovery = QString::number(CFreePort::udp());
    QTest::newRow("valid, stops cleanly on SIGTERM")
        << QStringList{"--count",          "2",      "--first-ip",   "127.0.10.100",
                       "--http-port",      "18080",  "--https-port", "0",
                       "--discovery-port", discovery}
        << true << 0;
    QTest::newRow("no first address") << QStringList{"--count", "2"} << false << 2;
    QTest::newRow("unknown authentication")
        << QStringList{"--count", "1", "--first-ip", "127.0.10.100", "--auth", "ntlm"} << false
        << 2;
    QTest::newRow("more recorders than devices")
        << QStringList{"--count", "1", "--first-ip", "127.0.10.100", "--recorders", "2"} << false
        << 2;
    QTest::newRow("model with a dash")
        << QStringList{"--count", "1", "--first-ip", "127.0.10.100", "--models", "QD-1"} << false
        << 2;
    QTest::newRow("address in use")
        << QStringList{"--count",     "1",   "--first-ip",       kFirst,
                       "--http-port", kPort, "--discovery-port", discovery}
        << false << 1;
    QTest::newRow("fleet file missing")
        << QStringList{"--fleet", "/nonexistent/fleet.json", "--discovery-port", discovery} << false
        << 1;
}

void tst_DeviceSimControl::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ready);
    QFETCH(int, exitCode);
    CDeviceSimulator other;
    QCOMPARE(other.start(arguments, 10000), ready);
    other.stop();
    QCOMPARE(other.exitCode(), exitCode);
}

void tst_DeviceSimControl::fleetFileDescribesDevices()
{
    QTemporaryFile fleet;
    QVERIFY(fleet.open());
    fleet.write(R"({"devices": [
        {"ip": "127.0.10.200", "model": "QZ9185", "firstUse": true,
         "sdCards": [{"cond": "detached"}], "fault": {"kind": "status", "status": 503}},
        {"model": "NV1234", "count": 2, "password": "Rec0rder!"},
        {"model": "QB9365", "modules": [{"index": 4, "name": "ANPR", "version": "3.2.6.4"}]}
    ]})");
    fleet.flush();
    CDeviceSimulator other;
    QVERIFY2(other.start({"--fleet", fleet.fileName(), "--http-port", "18080", "--https-port", "0",
                          "--discovery-port", QString::number(CFreePort::udp())}),
             qPrintable(other.errorString()));
    const QJsonArray devices = other.devices();
    QCOMPARE(devices.size(), 4);
    QStringList summary;
    for (const QJsonValue& v : devices) {
        const QJsonObject d = v.toObject();
        summary << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(d["ip"].toString(), d["model"].toString(),
                            d["recorder"].toBool() ? "recorder" : "camera",
                            d["firstUse"].toBool() ? "first-use" : d["password"].toString(),
                            d["fault"].toObject()["kind"].toString());
    }
    QCOMPARE(summary, (QStringList{"127.0.10.200 QZ9185 camera first-use status",
                                   "127.0.10.201 NV1234 recorder Rec0rder! none",
                                   "127.0.10.202 NV1234 recorder Rec0rder! none",
                                   "127.0.10.203 QB9365 camera ardmere1 none"}));
    QCOMPARE(devices[3].toObject()["modules"].toArray().first().toObject()["index"].toInt(), 4);
    QCOMPARE(devices[0].toObject()["sdCards"].toArray().first().toObject()["cond"].toString(),
             QStringLiteral("detached"));
    QCOMPARE(CCurl::get("http://127.0.10.201:18080/cgi-bin/admin/getparam.cgi?system_servername",
                        "root", "Rec0rder!")
                 .body,
             QByteArray("system_servername='QXOR-NVR'\r\n"));
}

QTEST_GUILESS_MAIN(tst_DeviceSimControl)
#include "tst_DeviceSimControl.moc"
