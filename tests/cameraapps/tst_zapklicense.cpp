// Application licences: the MAC a licence file names (inside it or in its name), matching files
// to the page's devices, and uploads against the device simulator that reach the matched device
// only, with refusals and unmatched files reported.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CStatusMapFilterModel.h"
#include "CZapkLicenseDeviceProxyModel.h"
#include "CZapkLicensePageCtrl.h"
#include "CZapkLicensePageModel.h"
#include "CameraAppsFixture.h"
#include "ZapkLicensePageCtrlLogic.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const int kDevices = 5;
}

class TestZapkLicense : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void readsTheMacOfAFile_data();
    void readsTheMacOfAFile();
    void uploadsEachFileToItsOwnDevice();
    void refusedLicenceIsAFailure();
    void selectionWithoutMatchChangesNothing();

private:
    QString write(const QString& name, const QByteArray& content);
    QString digitsOf(int device)
    {
        return m_fleet.sim().device(m_fleet.ip(device)).value("mac").toString().remove('-');
    }
    QString licenseOf(int device);

    CameraAppsFixture m_fleet;
    QTemporaryDir m_files;
};

void TestZapkLicense::initTestCase()
{
    QVERIFY(m_files.isValid());
    QVERIFY2(m_fleet.start(QStringLiteral("127.0.172.1"), kDevices),
             qPrintable(m_fleet.sim().errorString()));
}

void TestZapkLicense::cleanup()
{
    for (int i = 0; i < kDevices; ++i) {
        m_fleet.sim().setFault(m_fleet.ip(i), "none");
        m_fleet.sim().clearReceived(m_fleet.ip(i));
    }
}

QString TestZapkLicense::write(const QString& name, const QByteArray& content)
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return path;
}

QString TestZapkLicense::licenseOf(int device)
{
    const QJsonArray modules = m_fleet.sim().device(m_fleet.ip(device)).value("modules").toArray();
    return modules.isEmpty() ? QString() : modules.at(0).toObject().value("license").toString();
}

void TestZapkLicense::readsTheMacOfAFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("mac");

    QTest::newRow("MAC element") << "licence.lic"
                                 << QByteArray("<License><Module>VCA</Module>"
                                               "<MAC>0002d1A1b2C3</MAC></License>")
                                 << "00-02-d1-A1-b2-C3";
    QTest::newRow("element wins over the name")
        << "0A1B2C3D4E5F.xml" << QByteArray("<L><MAC>0002D1000001</MAC></L>")
        << "00-02-D1-00-00-01";
    QTest::newRow("name, no element")
        << "0a1b2c3d4e5f.txt" << QByteArray("plain text") << "0a-1b-2c-3d-4e-5f";
    QTest::newRow("name up to the first dot")
        << "0A1B2C3D4E5F.VCA.lic" << QByteArray("<L/>") << "0A-1B-2C-3D-4E-5F";
    QTest::newRow("element that is no MAC falls back to the name")
        << "0A1B2C3D4E5F.lic" << QByteArray("<L><MAC>00:02:D1:00:00:01</MAC></L>")
        << "0A-1B-2C-3D-4E-5F";
    QTest::newRow("eleven digits") << "0A1B2C3D4E5.lic" << QByteArray("x") << "";
    QTest::newRow("thirteen digits") << "0A1B2C3D4E5F0.lic" << QByteArray("x") << "";
    QTest::newRow("element name is case-sensitive")
        << "licence2.lic" << QByteArray("<L><mac>0002D1000001</mac></L>") << "";
    QTest::newRow("missing file") << "" << QByteArray() << "";
}

void TestZapkLicense::readsTheMacOfAFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, mac);
    const QString path =
        name.isEmpty() ? m_files.filePath("0A1B2C3D4E5F.gone") : write(name, content);
    QCOMPARE(ZapkLicensePageCtrlLogic().macOf(path), mac);
}

void TestZapkLicense::uploadsEachFileToItsOwnDevice()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0, 1, 3});
    CZapkLicensePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    page.setDisplayAllDevices();
    QCOMPARE(page.DevicesModel()->rowCount(), 3);

    const QString inside =
        write("first.lic", "<License><MAC>" + digitsOf(0).toUtf8() + "</MAC></License>");
    const QString byName = write(digitsOf(1).toLower() + ".lic", "not xml at all");
    // Device 4 exists but is not on the page; the last file names nobody.
    const QString notListed = write(digitsOf(4) + ".lic", "x");
    const QString nobody = write("readme.txt", "x");
    const int row =
        page.addFilePaths({QUrl::fromLocalFile(inside), QUrl::fromLocalFile(byName),
                           QUrl::fromLocalFile(notListed), QUrl::fromLocalFile(nobody)});
    QCOMPARE(row, 0);
    QCOMPARE(page.Entries().size(), 2);
    QCOMPARE(page.PageModel()->index(0, 0).data(CZapkLicensePageModel::countRole).toInt(), 2);
    page.setDisplayDevices(0);
    QCOMPARE(page.DevicesModel()->rowCount(), 2);
    page.setDisplayDevices(-1);
    QCOMPARE(page.DevicesModel()->rowCount(), 2);

    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(30000));
    const QModelIndex group = page.PageModel()->index(0, 0);
    QCOMPARE(group.data(CZapkLicensePageModel::statusRole).toInt(), int(CPageCtrl::Finished));
    QCOMPARE(group.data(CZapkLicensePageModel::errorCountRole).toInt(), 0);
    QCOMPARE(group.data(CZapkLicensePageModel::progressRole).toInt(), 100);
    QCOMPARE(
        CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, m_fleet.ip(0)), "1"),
        int(CCorvaneTableStatus::ZapkLicensePage_Success));
    QCOMPARE(
        CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, m_fleet.ip(1)), "1"),
        int(CCorvaneTableStatus::ZapkLicensePage_Success));
    QCOMPARE(
        CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, m_fleet.ip(3)), "1"),
        -1);
    QCOMPARE(licenseOf(0), QString("valid"));
    QCOMPARE(licenseOf(1), QString("valid"));
    QCOMPARE(licenseOf(3), QString("none"));
    // Each device saw its own file and no other.
    const QMap<int, QString> expected{{0, "first.lic"}, {1, digitsOf(1).toLower() + ".lic"}};
    for (int device : {0, 1, 3}) {
        QStringList names;
        for (const QJsonValue& upload :
             m_fleet.received(m_fleet.ip(device), "POST", "/cgi-bin/admin/upload_zapklicense.cgi"))
            names << upload.toObject()
                         .value("parts")
                         .toArray()
                         .at(0)
                         .toObject()
                         .value("fileName")
                         .toString();
        names.removeDuplicates();
        QCOMPARE(names, expected.contains(device) ? QStringList{expected[device]} : QStringList{});
    }
    QVERIFY(
        m_fleet.received(m_fleet.ip(4), "POST", "/cgi-bin/admin/upload_zapklicense.cgi").isEmpty());
}

void TestZapkLicense::refusedLicenceIsAFailure()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0, 1});
    QVERIFY(m_fleet.sim().setFault(m_fleet.ip(1), "refuse-uploads"));
    CZapkLicensePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    const QString good = write(digitsOf(0) + ".lic", "x");
    const QString refused = write(digitsOf(1) + ".lic", "x");
    QCOMPARE(page.addFilePaths({QUrl::fromLocalFile(good), QUrl::fromLocalFile(refused)}), 0);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.start(0);
    QVERIFY(completed.wait(30000));
    // The device answered 200 with its refusal: no licence.
    QCOMPARE(
        CameraAppsFixture::statusOf(page, CameraAppsFixture::pageRow(page, m_fleet.ip(1)), "1"),
        int(CCorvaneTableStatus::ZapkLicensePage_Fail));
    const QModelIndex group = page.PageModel()->index(0, 0);
    QCOMPARE(group.data(CZapkLicensePageModel::errorCountRole).toInt(), 1);
    QCOMPARE(group.data(CZapkLicensePageModel::progressRole).toInt(), 50);
    QCOMPARE(page.PageModel()->numFailedGroup(), 1);
    auto* failed = qobject_cast<CStatusMapFilterModel*>(
        group.data(CZapkLicensePageModel::failedDevicesModelRole).value<QObject*>());
    QVERIFY(failed);
    QCOMPARE(failed->rowCount(), 1);
    QCOMPARE(failed->index(0, 0).data(CDeviceInfo::ipRole).toString(), m_fleet.ip(1));
}

void TestZapkLicense::selectionWithoutMatchChangesNothing()
{
    CMainDeviceChain chain;
    m_fleet.select(chain, {0});
    CZapkLicensePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);
    const int row = page.addFilePaths({QUrl::fromLocalFile(write(digitsOf(2) + ".lic", "x"))});
    QCOMPARE(row, -1);
    QCOMPARE(page.PageModel()->rowCount(), 0);
    page.start(row);
    QCOMPARE(startFailed.count(), 1);
    QVERIFY(page.Entries().isEmpty());
}

QTEST_GUILESS_MAIN(TestZapkLicense)
#include "tst_zapklicense.moc"
