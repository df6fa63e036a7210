// Application packages against the device simulator: a package installed on every selected
// camera, devices that refuse or fail at their codes, and two packages queued as two groups.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CStatusMapFilterModel.h"
#include "CUploadZapkPackageCtrl.h"
#include "CZapkPackagePageCtrl.h"
#include "CZapkPackagePageModel.h"
#include "CameraAppsFixture.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const int kDevices = 4;
}

class TestZapkPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void installsOnEverySelectedCamera();
    void failingDeviceEndsAtItsCode_data();
    void failingDeviceEndsAtItsCode();
    void twoPackagesRunAsTwoGroups();
    void refusedStartsQueueNothing();

private:
    QString packageFile(const QString& name, int bytes = 64 * 1024);
    QVariant group(CZapkPackagePageCtrl& page, int row, int role) const
    {
        return page.PageModel()->index(row, 0).data(role);
    }

    CameraAppsFixture m_fleet;
    QTemporaryDir m_files;
};

void TestZapkPackage::initTestCase()
{
    QVERIFY(m_files.isValid());
    QVERIFY2(m_fleet.start(QStringLiteral("127.0.170.1"), kDevices, {"--no-modules"}),
             qPrintable(m_fleet.sim().errorString()));
}

void TestZapkPackage::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_fleet.sim().setFault(m_fleet.ip(i), "none");
        m_fleet.sim().setState(m_fleet.ip(i), {{"modules", QJsonArray()}});
        m_fleet.sim().clearReceived(m_fleet.ip(i));
    }
}

QString TestZapkPackage::packageFile(const QString& name, int bytes)
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write(QByteArray(bytes, '\x42'));
    return path;
}

void TestZapkPackage::installsOnEverySelectedCamera()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0, 1, 2});
    // The third device's card is gone: its package goes to flash.
    chain.listModel()->setData(chain.listModel()->index(2, 0), "detached",
                               CDeviceInfo::sdCardStatusRole);
    CZapkPackagePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QCOMPARE(page.StatusLayer()->rowCount(), 3);

    const int row = page.addFilePath(QUrl::fromLocalFile(packageFile("VCA_2.3.1.zapk")));
    QCOMPARE(row, 0);
    QCOMPARE(group(page, 0, CZapkPackagePageModel::statusIndexRole).toString(), QString("1"));
    QCOMPARE(group(page, 0, CZapkPackagePageModel::fileDescriptionRole).toString(),
             QString("VCA_2.3.1.zapk"));
    QCOMPARE(group(page, 0, CZapkPackagePageModel::countRole).toInt(), 3);

    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy started(&page, &CZapkPackagePageCtrl::started);
    page.start(0);
    QCOMPARE(started.count(), 1);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Working));
    QVERIFY(completed.wait(30000));
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(group(page, 0, CZapkPackagePageModel::statusRole).toInt(), int(CPageCtrl::Finished));
    QCOMPARE(group(page, 0, CZapkPackagePageModel::errorCountRole).toInt(), 0);
    QCOMPARE(group(page, 0, CZapkPackagePageModel::progressRole).toInt(), 100);

    for (int i = 0; i < 3; ++i) {
        const QString ip = m_fleet.ip(i);
        const int pageRow = CameraAppsFixture::pageRow(page, ip);
        QCOMPARE(CameraAppsFixture::statusOf(page, pageRow, "1"),
                 int(CCorvaneTableStatus::ZapkPackagePage_Success));
        QCOMPARE(m_fleet.modules(ip), QStringList{"VCA 2.3.1"});
        // Digest: a request may arrive twice, once refused for its missing credentials.
        const QJsonArray saves = m_fleet.received(ip, "POST", "/cgi-bin/admin/setparam.cgi");
        QVERIFY(!saves.isEmpty());
        for (const QJsonValue& save : saves)
            QCOMPARE(save.toObject().value("body").toString(),
                     QString(i == 2 ? "zapk_module_save2sd=0" : "zapk_module_save2sd=1"));
        const QJsonArray uploads = m_fleet.received(ip, "POST", "/cgi-bin/admin/upload_zapk.cgi");
        QVERIFY(!uploads.isEmpty());
        // Where to keep the package is settled before the package arrives.
        QVERIFY(saves.last().toObject().value("time").toDouble() <=
                uploads.first().toObject().value("time").toDouble());
        const QJsonObject part =
            uploads.last().toObject().value("parts").toArray().at(0).toObject();
        QCOMPARE(part.value("name").toString(), QString("uploadZapk"));
        QCOMPARE(part.value("fileName").toString(), QString("VCA_2.3.1.zapk"));
    }
    // The device not selected was left alone.
    QVERIFY(m_fleet.modules(m_fleet.ip(3)).isEmpty());
}

void TestZapkPackage::failingDeviceEndsAtItsCode_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("code");

    // A refusing device answers 200 with its failure text; that is no installation.
    QTest::newRow("refused") << "refuse-uploads"
                             << "ardmere1"
                             << "VCA_2.3.1.zapk" << int(CCorvaneTableStatus::ZapkPackagePage_Fail);
    QTest::newRow("empty package refused")
        << "none"
        << "ardmere1"
        << "empty.zapk" << int(CCorvaneTableStatus::ZapkPackagePage_Fail);
    QTest::newRow("wrong password")
        << "none"
        << "wrong"
        << "VCA_2.3.1.zapk" << int(CCorvaneTableStatus::ZapkPackagePage_AuthFail);
    QTest::newRow("offline") << "offline"
                             << "ardmere1"
                             << "VCA_2.3.1.zapk"
                             << int(CCorvaneTableStatus::ZapkPackagePage_NetworkError);
    QTest::newRow("missing file") << "none"
                                  << "ardmere1"
                                  << "missing.zapk"
                                  << int(CCorvaneTableStatus::ZapkPackagePage_CannotOpenFile);
}

void TestZapkPackage::failingDeviceEndsAtItsCode()
{
    QFETCH(QString, fault);
    QFETCH(QString, password);
    QFETCH(QString, fileName);
    QFETCH(int, code);

    const QString bad = m_fleet.ip(1);
    QVERIFY(m_fleet.sim().setFault(bad, fault));
    CMainDeviceChain chain;
    m_fleet.select(chain, {0, 1});
    // Only the second device gets the wrong password.
    chain.listModel()->setData(chain.listModel()->index(1, 0), password, CDeviceInfo::passwordRole);
    CZapkPackagePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QString path;
    if (fileName == "empty.zapk")
        path = packageFile(fileName, 0);
    else if (fileName == "missing.zapk")
        path = m_files.filePath(fileName);
    else
        path = packageFile(fileName);
    page.addFilePath(QUrl::fromLocalFile(path));
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(60000));

    QCOMPARE(CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, bad), "1"), code);
    const bool fileUsable = fileName == "VCA_2.3.1.zapk";
    const int good =
        CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, m_fleet.ip(0)), "1");
    if (fileName == "empty.zapk" || !fileUsable) {
        // The same file fails everywhere.
        QCOMPARE(good, code);
        QCOMPARE(group(page, 0, CZapkPackagePageModel::errorCountRole).toInt(), 2);
    } else {
        QCOMPARE(good, int(CCorvaneTableStatus::ZapkPackagePage_Success));
        QCOMPARE(group(page, 0, CZapkPackagePageModel::errorCountRole).toInt(), 1);
        QCOMPARE(group(page, 0, CZapkPackagePageModel::progressRole).toInt(), 50);
        auto* failed = qobject_cast<CStatusMapFilterModel*>(
            group(page, 0, CZapkPackagePageModel::failedDevicesModelRole).value<QObject*>());
        QVERIFY(failed);
        QCOMPARE(failed->rowCount(), 1);
        QCOMPARE(failed->index(0, 0).data(CDeviceInfo::ipRole).toString(), bad);
    }
    QCOMPARE(page.PageModel()->numFailedGroup(), 1);
    QVERIFY(m_fleet.modules(bad).isEmpty());
}

void TestZapkPackage::twoPackagesRunAsTwoGroups()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0, 1, 2, 3});
    CZapkPackagePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QSignalSpy completed(&page, &CPageCtrl::completed);
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);

    page.start(page.addFilePath(QUrl::fromLocalFile(packageFile("VCA_2.3.1.zapk", 2 << 20))));
    page.start(page.addFilePath(QUrl::fromLocalFile(packageFile("ANPR_3.2.7.0.zapk"))));
    QCOMPARE(startFailed.count(), 0);
    QCOMPARE(page.WaitingQueue(), (QStringList{"1", "2"}));
    // Newest on top: the second file waits while the first runs.
    QCOMPARE(group(page, 0, CZapkPackagePageModel::statusIndexRole).toString(), QString("2"));
    QCOMPARE(group(page, 0, CZapkPackagePageModel::statusRole).toInt(), int(CPageCtrl::Waiting));
    QCOMPARE(group(page, 1, CZapkPackagePageModel::statusRole).toInt(), int(CPageCtrl::Working));

    QVERIFY(completed.wait(60000));
    QCOMPARE(completed.count(), 1);
    QVERIFY(page.WaitingQueue().isEmpty());
    // The first group succeeded everywhere and made room; the last one stays to be seen.
    QCOMPARE(page.PageModel()->rowCount(), 1);
    QCOMPARE(group(page, 0, CZapkPackagePageModel::statusIndexRole).toString(), QString("2"));
    for (int i = 0; i < kDevices; ++i) {
        const int row = CameraAppsFixture::pageRow(page, m_fleet.ip(i));
        QCOMPARE(CameraAppsFixture::statusOf(page, row, "1"),
                 int(CCorvaneTableStatus::ZapkPackagePage_Success));
        QCOMPARE(CameraAppsFixture::statusOf(page, row, "2"),
                 int(CCorvaneTableStatus::ZapkPackagePage_Success));
        QCOMPARE(m_fleet.modules(m_fleet.ip(i)), (QStringList{"ANPR 3.2.7.0", "VCA 2.3.1"}));
        // One after the other: the second package never overtook the first.
        QStringList order;
        for (const QJsonValue& upload :
             m_fleet.received(m_fleet.ip(i), "POST", "/cgi-bin/admin/upload_zapk.cgi")) {
            const QString name = upload.toObject()
                                     .value("parts")
                                     .toArray()
                                     .at(0)
                                     .toObject()
                                     .value("fileName")
                                     .toString();
            if (order.isEmpty() || order.last() != name)
                order << name;
        }
        QCOMPARE(order, (QStringList{"VCA_2.3.1.zapk", "ANPR_3.2.7.0.zapk"}));
    }
}

void TestZapkPackage::refusedStartsQueueNothing()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0});
    m_fleet.sim().setFault(m_fleet.ip(0), "slow", {{"delayMs", 1500}});
    CZapkPackagePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(3);
    QCOMPARE(startFailed.count(), 1);
    page.start(page.addFilePath(QUrl::fromLocalFile(packageFile("VCA_2.3.1.zapk"))));
    // Running, so neither a start again nor a cancel changes anything.
    page.start(0);
    QCOMPARE(startFailed.count(), 2);
    page.cancelWaiting(0);
    QCOMPARE(page.PageModel()->rowCount(), 1);
    QCOMPARE(page.WaitingQueue(), QStringList{"1"});
    // A second group can wait and be cancelled before it runs.
    page.start(page.addFilePath(QUrl::fromLocalFile(packageFile("ANPR_3.2.7.0.zapk"))));
    QCOMPARE(page.WaitingQueue(), (QStringList{"1", "2"}));
    page.cancelWaiting(0);
    QCOMPARE(page.WaitingQueue(), QStringList{"1"});
    QCOMPARE(page.PageModel()->rowCount(), 1);
    QVERIFY(completed.wait(30000));
    QCOMPARE(m_fleet.modules(m_fleet.ip(0)), QStringList{"VCA 2.3.1"});
}

QTEST_GUILESS_MAIN(TestZapkPackage)
#include "tst_zapkpackage.moc"
