// The job runners' counting, ordering and result rules against the device simulator.

#include "CBatchSetupCtrl.h"
#include "CDeviceSimulator.h"
#include "CExportFileCtrl.h"
#include "CFreePort.h"
#include "CGetParamCtrl.h"
#include "CSetParamCtrl.h"
#include "CUploadFileCtrl.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFirstIp = QStringLiteral("127.0.21.1");
const int kDevices = 8;
const QString kSetParam = QStringLiteral("/cgi-bin/admin/setparam.cgi");
const QString kGetParam = QStringLiteral("/cgi-bin/admin/getparam.cgi");
const QString kMissing = QStringLiteral("/cgi-bin/admin/nosuch.cgi");

QString deviceIp(int i)
{
    return QStringLiteral("127.0.21.%1").arg(i + 1);
}

QBuffer* body(const QByteArray& text)
{
    auto* buffer = new QBuffer();
    buffer->setData(text);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// Per device of a table row: its fault ("kind" or "kind:path:delay") and its commands.
struct DeviceSetup
{
    QString fault;
    QStringList paths;
};

} // namespace

Q_DECLARE_METATYPE(QList<DeviceSetup>)

class TestRunners : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void setParamReportsEveryDeviceThenFinishes();
    void newRunSettlesTheOldRunFirst();
    void batchSetup_data();
    void batchSetup();
    void exportLastReplyDecides_data();
    void exportLastReplyDecides();
    void exportDevicesSharingAKeyStillFinish();
    void uploadAfterProbe_data();
    void uploadAfterProbe();
    void emptyUploadFinishesAtOnce();

private:
    QVariantMap context(int device, const QVariant& tag) const;
    void applyFault(int device, const QString& fault);

    CDeviceSimulator m_sim;
    quint16 m_httpPort = 0;
    QTemporaryDir m_dir;
};

QVariantMap TestRunners::context(int device, const QVariant& tag) const
{
    return {{"ip", deviceIp(device)}, {"httpPort", m_httpPort}, {"httpsPort", 443},
            {"username", "root"},     {"password", "ardmere1"}, {"context", tag}};
}

void TestRunners::applyFault(int device, const QString& fault)
{
    const QStringList pieces = fault.split(':');
    QJsonObject params;
    if (pieces.size() > 1)
        params["path"] = pieces.at(1);
    if (pieces.size() > 2)
        params["delayMs"] = pieces.at(2).toInt();
    QVERIFY(m_sim.setFault(deviceIp(device), pieces.at(0), params));
}

void TestRunners::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_httpPort = CFreePort::tcp(QHostAddress(kFirstIp));
    QVERIFY2(m_sim.start({"--count", QString::number(kDevices), "--first-ip", kFirstIp,
                          "--http-port", QString::number(m_httpPort), "--https-port",
                          QString::number(CFreePort::tcp(QHostAddress(kFirstIp))),
                          "--discovery-port", QString::number(CFreePort::udp())}),
             qPrintable(m_sim.errorString()));
}

void TestRunners::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_sim.setFault(deviceIp(i), "none");
        m_sim.setState(deviceIp(i), {{"firstUse", false}});
        m_sim.clearReceived(deviceIp(i));
    }
}

void TestRunners::setParamReportsEveryDeviceThenFinishes()
{
    applyFault(1, "silent");
    applyFault(2, "status");
    CSetParamCtrl runner;
    runner.SetTimeout(1000);
    QList<int> order; // 100 marks finished()
    QHash<int, int> results;
    connect(&runner, &CSetParamCtrl::changeStatus, this,
            [&](const QVariant& tag, CHttpClient2::ENetworkError result, const QVariant&) {
                order.append(tag.toInt());
                results.insert(tag.toInt(), result);
            });
    connect(&runner, &CSetParamCtrl::finished, this, [&]() { order.append(100); });
    QVariantList contexts;
    for (int i = 0; i < 3; ++i) {
        QVariantMap ctx = context(i, i);
        ctx["data"] = QByteArray("system_hostname=run");
        contexts.append(ctx);
    }
    runner.Start(contexts);
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 4, 10000);
    QCOMPARE(order.last(), 100);
    QCOMPARE(results.value(0), int(CHttpClient2::eSuccess));
    QCOMPARE(results.value(1), int(CHttpClient2::eTimeout));
    QCOMPARE(results.value(2), int(CHttpClient2::eNetworkError));
    QCOMPARE(m_sim.lastReceived(deviceIp(0)).last().toObject().value("body").toString(),
             QStringLiteral("system_hostname=run"));
}

void TestRunners::newRunSettlesTheOldRunFirst()
{
    applyFault(0, "silent");
    CGetParamCtrl runner;
    runner.SetParameters({"system_hostname"});
    QList<QPair<QString, int>> events;
    connect(&runner, &CGetParamCtrl::changeStatus, this,
            [&](const QVariant& tag, CHttpClient2::ENetworkError result, const QVariant&) {
                events.append({tag.toString(), int(result)});
            });
    connect(&runner, &CGetParamCtrl::finished, this, [&]() { events.append({"finished", 0}); });
    runner.Start({context(0, "old")});
    runner.Start({context(1, "new")});
    // The old device reports its time-out and the old run ends before the new one starts counting.
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.at(0), qMakePair(QStringLiteral("old"), int(CHttpClient2::eTimeout)));
    QCOMPARE(events.at(1).first, QStringLiteral("finished"));
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 4, 10000);
    QCOMPARE(events.at(2), qMakePair(QStringLiteral("new"), int(CHttpClient2::eSuccess)));
    QCOMPARE(events.at(3).first, QStringLiteral("finished"));
}

void TestRunners::batchSetup_data()
{
    QTest::addColumn<QList<DeviceSetup>>("devices");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<int>("timeoutMs");

    QTest::newRow("all accepted") << QList<DeviceSetup>{{"none", {kSetParam, kSetParam, kSetParam}}}
                                  << QList<int>{6} << 10000;
    QTest::newRow("second of three fails")
        << QList<DeviceSetup>{{"none", {kSetParam, kMissing, kSetParam}}} << QList<int>{1} << 10000;
    QTest::newRow("no commands counts as complete")
        << QList<DeviceSetup>{{"none", {}}, {"none", {kSetParam}}} << QList<int>{6, 6} << 10000;
    QTest::newRow("wrong credentials")
        << QList<DeviceSetup>{{"auth-reject", {kSetParam, kSetParam}}} << QList<int>{3} << 10000;
    QTest::newRow("silent device times out")
        << QList<DeviceSetup>{{"silent", {kSetParam, kSetParam}}, {"none", {kSetParam}}}
        << QList<int>{4, 6} << 800;
    QTest::newRow("first use") << QList<DeviceSetup>{{"firstuse", {kSetParam}}} << QList<int>{5}
                               << 10000;
    QTest::newRow("late failure after a slow success")
        << QList<DeviceSetup>{{"slow:/cgi-bin/admin/setparam.cgi:400", {kSetParam, kMissing}}}
        << QList<int>{1} << 10000;
}

void TestRunners::batchSetup()
{
    QFETCH(QList<DeviceSetup>, devices);
    QFETCH(QList<int>, expected);
    QFETCH(int, timeoutMs);

    QList<CBatchSetParamConnInfo> list;
    for (int i = 0; i < devices.size(); ++i) {
        if (devices.at(i).fault == QLatin1String("firstuse"))
            QVERIFY(m_sim.setState(deviceIp(i), {{"firstUse", true}}));
        else
            applyFault(i, devices.at(i).fault);
        QList<CBatchSetParamConnInfo::Command> commands;
        for (int j = 0; j < devices.at(i).paths.size(); ++j)
            commands.append({devices.at(i).paths.at(j),
                             body(QStringLiteral("system_hostname=batch%1").arg(j).toUtf8())});
        list.append(CBatchSetParamConnInfo(
            CDeviceConnInfo(deviceIp(i), "root", "ardmere1", m_httpPort, 443), commands));
    }
    CBatchSetupCtrl runner;
    runner.SetTimeout(timeoutMs);
    QSignalSpy status(&runner, &CBatchSetupCtrl::changeStatus);
    QSignalSpy finished(&runner, &CBatchSetupCtrl::finished);
    runner.Start(list);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    // Every other reply of a settled device is ignored: give them time to arrive.
    QTest::qWait(600);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(status.count(), devices.size());
    QHash<int, int> got;
    for (const QList<QVariant>& args : qAsConst(status)) {
        QVERIFY(!got.contains(args.at(0).toInt()));
        got.insert(args.at(0).toInt(), args.at(1).toInt());
    }
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(got.value(i, -1), expected.at(i));
}

void TestRunners::exportLastReplyDecides_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("result");
    QTest::newRow("slow failure finishes last")
        << "slow:/cgi-bin/admin/nosuch.cgi:500" << int(CHttpClient2::eUnsupported);
    QTest::newRow("slow success finishes last")
        << "slow:/cgi-bin/admin/getparam.cgi:500" << int(CHttpClient2::eSuccess);
}

void TestRunners::exportLastReplyDecides()
{
    QFETCH(QString, fault);
    QFETCH(int, result);
    applyFault(0, fault);
    CExportFileCtrl runner;
    QSignalSpy saved(&runner, &CExportFileCtrl::saveFile);
    QSignalSpy status(&runner, &CExportFileCtrl::changeStatus);
    QSignalSpy finished(&runner, &CExportFileCtrl::finished);
    const QVariantList commands{
        QVariantMap{{"getPath", kGetParam}, {"parameters", QStringList{"system_hostname"}}},
        QVariantMap{{"getPath", kMissing}, {"parameters", QStringList()}}};
    runner.Start({context(0, QVariantMap{{"export_key", "a"}}),
                  context(1, QVariantMap{{"export_key", "b"}})},
                 commands);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(saved.count(), 4);
    QCOMPARE(status.count(), 2);
    for (const QList<QVariant>& args : qAsConst(status)) {
        if (args.at(0).toMap().value("export_key") == "a")
            QCOMPARE(args.at(1).toInt(), result);
    }
}

void TestRunners::exportDevicesSharingAKeyStillFinish()
{
    CExportFileCtrl runner;
    QSignalSpy saved(&runner, &CExportFileCtrl::saveFile);
    QSignalSpy status(&runner, &CExportFileCtrl::changeStatus);
    QSignalSpy finished(&runner, &CExportFileCtrl::finished);
    const QVariantList commands{
        QVariantMap{{"getPath", kGetParam}, {"parameters", QStringList{"system_hostname"}}},
        QVariantMap{{"getPath", kGetParam}, {"parameters", QStringList{"system_info_modelname"}}}};
    runner.Start({context(0, QVariantMap{{"export_key", "same"}}),
                  context(1, QVariantMap{{"export_key", "same"}})},
                 commands);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(saved.count(), 4);
    QCOMPARE(status.count(), 1);
}

void TestRunners::uploadAfterProbe_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("result");
    QTest::newRow("probe fails, upload still sent")
        << "/cgi-bin/admin/upload_zapk.cgi"
        << "uploadZapk"
        << "status:/cgi-bin/admin/getparam.cgi" << int(CHttpClient2::eSuccess);
    QTest::newRow("configuration refused in the body")
        << "/VCA/cgi-bin/upload_file.cgi"
        << "uploadConfig"
        << "refuse-uploads" << int(CHttpClient2::eFail);
    QTest::newRow("configuration accepted") << "/VCA/cgi-bin/upload_file.cgi"
                                            << "uploadConfig"
                                            << "none" << int(CHttpClient2::eSuccess);
}

void TestRunners::uploadAfterProbe()
{
    QFETCH(QString, path);
    QFETCH(QString, part);
    QFETCH(QString, fault);
    QFETCH(int, result);
    applyFault(0, fault);
    const QString file = m_dir.filePath(QStringLiteral("VCA_2.0.0.zapk"));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("{\"config\":1}");
    }
    CUploadFileCtrl runner;
    runner.SetPath(path);
    runner.SetPartName(part);
    QSignalSpy status(&runner, &CUploadFileCtrl::changeStatus);
    QSignalSpy finished(&runner, &CUploadFileCtrl::finished);
    QVariantMap ctx = context(0, 0);
    ctx["filePath"] = file;
    ctx["fileName"] = QStringLiteral("VCA_2.0.0.zapk");
    runner.Start({ctx});
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(1).toInt(), result);
    const QJsonArray received = m_sim.lastReceived(deviceIp(0));
    // The probe went first (with its authentication round trip), the upload last.
    QVERIFY(received.size() >= 2);
    QCOMPARE(received.first().toObject().value("path").toString(), kGetParam);
    QCOMPARE(received.last().toObject().value("path").toString(), path);
    QCOMPARE(received.last()
                 .toObject()
                 .value("parts")
                 .toArray()
                 .at(0)
                 .toObject()
                 .value("name")
                 .toString(),
             part);
}

void TestRunners::emptyUploadFinishesAtOnce()
{
    CUploadFileCtrl runner;
    QSignalSpy finished(&runner, &CUploadFileCtrl::finished);
    runner.Start({});
    QCOMPARE(finished.count(), 1);
}

QTEST_MAIN(TestRunners)
#include "tst_runners.moc"
