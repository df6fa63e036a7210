#include "CAuthorizeCtrl.h"
#include "CImportDeviceCtrl.h"
#include "MainPageFixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace mainpagetest;

// Adding devices by address and importing them from files, against simulated devices on
// 127.0.51.x.
class TestImportDevices : public QObject
{
    Q_OBJECT

    CDeviceSimulator m_sim;
    QTemporaryDir m_dir;
    std::unique_ptr<CMainPageCtrl> m_ctrl;

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    CDeviceListModel* list() { return m_ctrl->chain()->listModel(); }

    QString topIp() { return list()->index(0, 0).data(CDeviceInfo::ipRole).toString(); }

    bool isNew(const QString& ip)
    {
        return valueOf(*m_ctrl, ip, CDeviceInfo::newItemRole).toBool();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeSettings();
        registerDeviceMetaTypes();
        QVERIFY2(m_sim.start({"--count", "4", "--first-ip", "127.0.51.1", "--http-port", "8080",
                              "--https-port", "8443", "--discovery-port", "0"}),
                 qPrintable(m_sim.errorString()));
        QVERIFY(m_sim.setFault("127.0.51.3", "silent"));
        QVERIFY(m_sim.setFault("127.0.51.4", "auth-reject"));
    }

    void init()
    {
        m_ctrl = std::make_unique<CMainPageCtrl>();
        // Credentials for adding come from the last authorization.
        m_ctrl->authorizeCtrl()->authorize("root", "ardmere1", true);
    }

    void cleanup() { m_ctrl.reset(); }

    void jobsFromLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("contexts");

        QTest::newRow("plain") << QByteArray("a,b,127.0.51.1,8080,8443\n")
                               << QStringList{"127.0.51.1_8080_8443"};
        QTest::newRow("blank lines and short lines")
            << QByteArray("\n\na,b,127.0.51.1\n\na,b,127.0.51.2,80\n")
            << QStringList{"127.0.51.2_80_0"};
        QTest::newRow("quoted field with comma")
            << QByteArray("\"Lobby, east\",x,127.0.51.1,8080,8443,\"note, more\"\n")
            << QStringList{"127.0.51.1_8080_8443"};
        QTest::newRow("http port not a number, https empty")
            << QByteArray("a,b,127.0.51.1,abc,\n") << QStringList{"127.0.51.1_0_0"};
        QTest::newRow("both ports out of range")
            << QByteArray("a,b,127.0.51.1,70000,99999\n") << QStringList{};
        QTest::newRow("one port out of range")
            << QByteArray("a,b,127.0.51.1,70000,443\n") << QStringList{"127.0.51.1_0_443"};
        QTest::newRow("not a host name")
            << QByteArray("a,b,not a host,80,443\na,b,bad/host,80,443\na,b,,80,443\n")
            << QStringList{};
        QTest::newRow("host name") << QByteArray("a,b,cam-7.site.example,80,443\n")
                                   << QStringList{"cam-7.site.example_80_443"};
        QTest::newRow("same address and port once")
            << QByteArray("a,b,127.0.51.1,8080,1\na,b,127.0.51.1,8080,2\na,b,127.0.51.1,81,3\n")
            << QStringList{"127.0.51.1_8080_1", "127.0.51.1_81_3"};
        QTest::newRow("not UTF-8") << QByteArray("\xc3\x28,\xe2\x82,127.0.51.1,8080,8443\n\xff\n")
                                   << QStringList{"127.0.51.1_8080_8443"};
        QTest::newRow("windows line ends")
            << QByteArray("a,b,127.0.51.1,8080,8443\r\n") << QStringList{"127.0.51.1_8080_8443"};
    }

    void jobsFromLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, contexts);
        bool ok = false;
        const QVariantList jobs =
            CImportDeviceCtrl::jobsFromFile(writeFile("lines.csv", content), "u", "p", &ok);
        QVERIFY(ok);
        QStringList got;
        for (const QVariant& job : jobs)
            got.append(job.toMap().value("context").toString());
        QCOMPARE(got, contexts);
    }

    // A huge file is read without trouble and cut at the most one batch may send.
    void millionLines()
    {
        QByteArray content;
        content.reserve(40 * 1000000);
        for (int i = 0; i < 1000000; ++i)
            content += "n,m,127.1." + QByteArray::number(i / 250 % 250) + '.' +
                       QByteArray::number(i % 250 + 1) + ',' +
                       QByteArray::number(1000 + i / 62500) + ",443\n";
        bool ok = false;
        const QVariantList jobs =
            CImportDeviceCtrl::jobsFromFile(writeFile("million.csv", content), "u", "p", &ok);
        QVERIFY(ok);
        QCOMPARE(jobs.size(), CImportDeviceCtrl::kMaxJobsPerFile);
    }

    void unusableFileReportsAnError_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << "missing.csv" << QByteArray();
        QTest::newRow("no usable line") << "bad.csv" << QByteArray("x\ny,z\na,b,%%%,80,443\n");
    }

    void unusableFileReportsAnError()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = content.isEmpty() ? m_dir.filePath(name) : writeFile(name, content);
        QSignalSpy error(m_ctrl.get(), &CMainPageCtrl::importFileError);
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::importDevicesFinished);
        QVERIFY(m_ctrl->importDevices(path));
        QVERIFY(error.wait(5000));
        QCOMPARE(finished.count(), 0);
    }

    // One device listed already, one new: the listed one moves to the top, the new one is
    // identified and inserted at the top, both marked new.
    void importListedAndNew()
    {
        list()->ResetList({record("127.0.51.9"), record("127.0.51.1"), record("127.0.51.8")});
        const QString path = writeFile("two.csv", "a,b,127.0.51.1,8080,8443\n"
                                                  "a,b,127.0.51.2,8080,8443\n");
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::importDevicesFinished);
        QSignalSpy failed(m_ctrl.get(), &CMainPageCtrl::someImportFailed);
        QVERIFY(m_ctrl->importDevices(path));
        QVERIFY(finished.wait(10000));
        QCOMPARE(failed.count(), 0);
        QCOMPARE(list()->rowCount(), 4);
        QCOMPARE(topIp(), QString("127.0.51.2"));
        QCOMPARE(list()->index(1, 0).data(CDeviceInfo::ipRole).toString(), QString("127.0.51.1"));
        QTRY_VERIFY(isNew("127.0.51.1"));
        QVERIFY(isNew("127.0.51.2"));
        QVERIFY(!isNew("127.0.51.9"));
        QCOMPARE(valueOf(*m_ctrl, "127.0.51.2", CDeviceInfo::modelRole).toString(),
                 QString("QB9365"));
        QCOMPARE(valueOf(*m_ctrl, "127.0.51.2", CDeviceInfo::macRole).toString(),
                 QString("02-A5-7F-00-33-02"));
        QCOMPARE(valueOf(*m_ctrl, "127.0.51.2", CDeviceInfo::httpsPortRole).toInt(), 8443);
        QVERIFY(!valueOf(*m_ctrl, "127.0.51.2", CDeviceInfo::drmSearchedRole).toBool());
    }

    void importOnlyListedDevicesSendsNothing()
    {
        list()->ResetList({record("127.0.51.1")});
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::importDevicesFinished);
        QVERIFY(m_sim.clearReceived("127.0.51.1"));
        QVERIFY(m_ctrl->importDevices(writeFile("listed.csv", "a,b,127.0.51.1,8080,8443\n")));
        QVERIFY(finished.wait(5000));
        QCOMPARE(list()->rowCount(), 1);
        QVERIFY(isNew("127.0.51.1"));
        QCOMPARE(m_sim.lastReceived("127.0.51.1").size(), 0);
    }

    void importWithFailures()
    {
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::importDevicesFinished);
        QSignalSpy failed(m_ctrl.get(), &CMainPageCtrl::someImportFailed);
        QVERIFY(m_ctrl->importDevices(writeFile("mixed.csv", "a,b,127.0.51.2,8080,8443\n"
                                                             "a,b,127.0.51.3,8080,8443\n"
                                                             "a,b,127.0.51.250,8080,8443\n")));
        QVERIFY(finished.wait(15000));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(m_ctrl->getFailedImport(),
                 QVariantList({QString("127.0.51.3"), QString("127.0.51.250")}));
        QCOMPARE(list()->rowCount(), 1);
    }

    void addByAddress_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("model");

        QTest::newRow("answers") << "127.0.51.2"
                                 << "8080" << true << -1 << "QB9365";
        QTest::newRow("refuses credentials: added without identity") << "127.0.51.4"
                                                                     << "8080" << true << -1 << "";
        QTest::newRow("silent") << "127.0.51.3"
                                << "8080" << false << int(CMainPageCtrl::Timeout) << "";
        QTest::newRow("nothing listens")
            << "127.0.51.200"
            << "8080" << false << int(CMainPageCtrl::UnknownFail) << "";
    }

    void addByAddress()
    {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(bool, succeeds);
        QFETCH(int, error);
        QFETCH(QString, model);

        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::addDeviceFinished);
        QSignalSpy succeeded(m_ctrl.get(), &CMainPageCtrl::addDeviceSucceeded);
        QSignalSpy failed(m_ctrl.get(), &CMainPageCtrl::addDeviceFailed);
        QVERIFY(m_ctrl->addDevice(ip, port));
        QVERIFY(finished.wait(15000));
        QCOMPARE(succeeded.count(), succeeds ? 1 : 0);
        QCOMPARE(failed.count(), succeeds ? 0 : 1);
        if (succeeds) {
            QCOMPARE(topIp(), ip);
            QVERIFY(isNew(ip));
            QCOMPARE(valueOf(*m_ctrl, ip, CDeviceInfo::modelRole).toString(), model);
        } else {
            QCOMPARE(m_ctrl->addCtrl()->failedJobs().size(), 1);
            QCOMPARE(failed.first().first().value<CMainPageCtrl::E_Add_Device_Error>(),
                     CMainPageCtrl::E_Add_Device_Error(error));
            QCOMPARE(list()->rowCount(), 0);
        }
    }

    void addListedDeviceMovesItToTheTop()
    {
        list()->ResetList({record("127.0.51.9"), record("127.0.51.2")});
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::addDeviceFinished);
        QSignalSpy succeeded(m_ctrl.get(), &CMainPageCtrl::addDeviceSucceeded);
        QVERIFY(m_ctrl->addDevice("127.0.51.2", "8080"));
        QCOMPARE(succeeded.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(topIp(), QString("127.0.51.2"));
        QVERIFY(isNew("127.0.51.2"));
        QCOMPARE(list()->rowCount(), 2);
    }

    void addRefusesABadPort()
    {
        QSignalSpy finished(m_ctrl.get(), &CMainPageCtrl::addDeviceFinished);
        QVERIFY(!m_ctrl->addDevice("127.0.51.2", "65536"));
        QVERIFY(!m_ctrl->addDevice("127.0.51.2", "80a"));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
    }
};

QTEST_MAIN(TestImportDevices)
#include "tst_importdevices.moc"
