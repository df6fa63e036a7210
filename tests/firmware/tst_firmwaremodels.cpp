// The firmware page without devices on the network: how the selection is cut into model groups,
// the start checks and the queue, and which device answers count as a refused upload.

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CFirmwareDevicesProxyModel.h"
#include "CFirmwarePageCtrl.h"
#include "CFirmwarePageModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSetDevicesCtrl.h"
#include "CUpgradeFirmwareCtrl.h"
#include "UploadRefusal.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestFirmwareModels : public QObject
{
    Q_OBJECT

private slots:
    void groupsByModel_data();
    void groupsByModel();
    void startChecks();
    void queueOrderAndCancel();
    void uploadPathByModel_data();
    void uploadPathByModel();
    void refusalTexts_data();
    void refusalTexts();
};

namespace {

// A main list of devices "model/firmware", all selected, on 127.0.159.x (never contacted: the
// ports are 1, so any request fails at once).
void fillMain(CMainDeviceChain& chain, const QStringList& devices)
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    int i = 0;
    for (const QString& text : devices) {
        const QStringList parts = text.split('/');
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = QStringLiteral("127.0.159.%1").arg(++i);
        device->model = parts.value(0);
        device->firmware = parts.value(1);
        device->firmwareInfo = parts.value(0) + "-QXOR-" + parts.value(1);
        device->username = QStringLiteral("root");
        device->password = QStringLiteral("x");
        device->httpPort = 1;
        list.push_back(device);
    }
    chain.listModel()->ResetList(list);
    chain.modelCtrl()->selectAll();
}

QString groupsText(CFirmwarePageModel* model)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        out << QStringLiteral("%1:%2:%3:%4")
                   .arg(index.data(CFirmwarePageModel::modelRole).toString())
                   .arg(index.data(CFirmwarePageModel::countRole).toInt())
                   .arg(index.data(CFirmwarePageModel::groupNameRole).toString())
                   .arg(index.data(CFirmwarePageModel::firmwareModelRole).toString());
    }
    return out.join(' ');
}

} // namespace

void TestFirmwareModels::groupsByModel_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QString>("groups"); // model:count:group name:firmware model

    QTest::newRow("nothing selected") << QStringList() << QString();
    QTest::newRow("one model") << QStringList{"QD8182/0104a"} << "QD8182:1:1:QD8182";
    QTest::newRow("sorted before cutting") << QStringList{"B/1", "A/1", "A/1"} << "A:2:2:A B:1:3:B";
    QTest::newRow("names are the end of each group")
        << QStringList{"A/1", "B/1", "A/1", "B/1", "B/1"} << "A:2:2:A B:3:5:B";
    // Model names compare with their case: "qd8182" is a model of its own.
    QTest::newRow("case-sensitive")
        << QStringList{"QD8182/1", "qd8182/1"} << "QD8182:1:1:QD8182 qd8182:1:2:qd8182";
}

void TestFirmwareModels::groupsByModel()
{
    QFETCH(QStringList, devices);
    QFETCH(QString, groups);
    CMainDeviceChain chain;
    fillMain(chain, devices);
    CFirmwarePageCtrl page;
    QAbstractItemModelTester tester(page.PageModel());
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QCOMPARE(groupsText(page.PageModel()), groups);
    // Every device belongs to exactly one group, and a group's view shows its devices only.
    int total = 0;
    for (int row = 0; row < page.PageModel()->rowCount(); ++row) {
        const QModelIndex index = page.PageModel()->index(row, 0);
        auto* view = qobject_cast<CFirmwareDevicesProxyModel*>(
            index.data(CFirmwarePageModel::devicesModelRole).value<QObject*>());
        QVERIFY(view);
        QCOMPARE(view->count(), index.data(CFirmwarePageModel::countRole).toInt());
        for (int i = 0; i < view->count(); ++i)
            QCOMPARE(view->index(i, 0).data(CDeviceInfo::modelRole).toString(),
                     index.data(CFirmwarePageModel::modelRole).toString());
        total += view->count();
    }
    QCOMPARE(total, devices.size());
    // Entering again rebuilds the groups from scratch.
    page.enterPage();
    QCOMPARE(groupsText(page.PageModel()), groups);
}

void TestFirmwareModels::startChecks()
{
    CMainDeviceChain chain;
    fillMain(chain, {"QD8182/0104a", "QB9365/0104a"});
    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy failed(&page, &CPageCtrl::startFailed);
    QSignalSpy openFailed(&page, &CFirmwarePageCtrl::openFileFailed);
    QSignalSpy started(&page, &CFirmwarePageCtrl::started);
    QSignalSpy apply(&page, &CFirmwarePageCtrl::isApplyButtonAvailableChanged);

    // No file yet.
    page.start(0);
    QCOMPARE(failed.count(), 1);
    page.start(7);
    QCOMPARE(failed.count(), 2);
    page.setFirmwarePath(5, QUrl::fromLocalFile("/tmp/x.pkg"));
    QCOMPARE(openFailed.count(), 1);
    QCOMPARE(openFailed.last().at(0).value<CFirmwarePageCtrl::E_Open_File_Error>(),
             CFirmwarePageCtrl::InvalidGroupIndex);

    page.setFirmwarePath(0, QUrl::fromLocalFile("/tmp/some dir/QB9365 fw.pkg"));
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::filenameRole).toString(),
             QStringLiteral("QB9365 fw.pkg"));
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::statusRole).toInt(),
             int(CPageCtrl::Loading));
    QVERIFY(page.isApplyButtonAvailable());
    QCOMPARE(apply.count(), 1);

    // The group without a file is skipped silently by startAll.
    page.startAll();
    QCOMPARE(started.count(), 1);
    QCOMPARE(failed.count(), 2);
    const int status = page.PageModel()->index(0, 0).data(CFirmwarePageModel::statusRole).toInt();
    QVERIFY(status == CPageCtrl::Working || status == CPageCtrl::Finished);
    if (status == CPageCtrl::Working) {
        // A second start of the running group is refused, and so is a new file for it.
        page.start(0);
        QCOMPARE(failed.count(), 3);
        page.setFirmwarePath(0, QUrl::fromLocalFile("/tmp/other.pkg"));
        QCOMPARE(openFailed.last().at(0).value<CFirmwarePageCtrl::E_Open_File_Error>(),
                 CFirmwarePageCtrl::GroupCurrentlyWorking);
        QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::filenameRole).toString(),
                 QStringLiteral("QB9365 fw.pkg"));
    }
    page.leavePage();
}

void TestFirmwareModels::queueOrderAndCancel()
{
    CMainDeviceChain chain;
    fillMain(chain, {"A/1", "B/1", "C/1"});
    CFirmwarePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.setNeedRemoveAfter(false);
    page.enterPage();
    // A file nobody can open: the run ends as soon as the upload runner tries it.
    for (int row = 0; row < 3; ++row)
        page.setFirmwarePath(row, QUrl::fromLocalFile("/nonexistent/fw.pkg"));
    // Hold the queue: the first group runs (its upload fails at the next turn of the loop), the
    // others wait behind it in the order they were started.
    page.start(2);
    page.start(0);
    page.start(1);
    QCOMPARE(page.WaitingQueue(), (QStringList{"3", "1", "2"}));
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::statusRole).toInt(),
             int(CPageCtrl::Waiting));
    // Devices of a queued group wait; cancelling it takes it out and clears them.
    QCOMPARE(CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(0, 0), "firmware"),
             int(CCorvaneTableStatus::FirmwarePage_WaitToWork));
    page.cancelWaiting(0);
    QCOMPARE(page.WaitingQueue(), (QStringList{"3", "2"}));
    QCOMPARE(page.PageModel()->index(0, 0).data(CFirmwarePageModel::statusRole).toInt(),
             int(CPageCtrl::Nothing));
    QCOMPARE(CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(0, 0), "firmware"), -1);
    // The running group cannot be cancelled.
    page.cancelWaiting(2);
    QCOMPARE(page.WaitingQueue(), (QStringList{"3", "2"}));

    QSignalSpy completed(&page, &CPageCtrl::completed);
    QTRY_COMPARE(page.pageStatus(), int(CPageCtrl::Finished));
    QCOMPARE(completed.count(), 1);
    QVERIFY(page.WaitingQueue().isEmpty());
    for (int row : {1, 2}) {
        const QModelIndex index = page.PageModel()->index(row, 0);
        QCOMPARE(index.data(CFirmwarePageModel::statusRole).toInt(), int(CPageCtrl::Finished));
        QCOMPARE(index.data(CFirmwarePageModel::errorCountRole).toInt(), 1);
        auto* failedView = qobject_cast<QAbstractItemModel*>(
            index.data(CFirmwarePageModel::failedDevicesModelRole).value<QObject*>());
        QCOMPARE(failedView->rowCount(), 1);
    }
    QCOMPARE(page.PageModel()->numFailedGroup(), 2);
    QCOMPARE(CSetDevicesCtrl::StatusOf(page.StatusLayer()->index(1, 0), "firmware"),
             int(CCorvaneTableStatus::FirmwarePage_CannotOpenFile));
    // Only the finished groups with failures start again.
    QSignalSpy started(&page, &CFirmwarePageCtrl::started);
    page.startAllFailed();
    QCOMPARE(started.count(), 2);
    QTRY_COMPARE(completed.count(), 2);
}

void TestFirmwareModels::uploadPathByModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("script");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("part");
    QTest::newRow("camera") << "QD8182" << false << "/cgi-bin/admin/upgrade.cgi"
                            << "fimage";
    QTest::newRow("camera script") << "QD8182" << true << "/cgi-bin/admin/eventscript.cgi"
                                   << "UploadEventScriptFile";
    QTest::newRow("recorder") << "NR9782" << false << "/cgi-bin/admin/system.upgrade"
                              << "file";
    QTest::newRow("recorder ignores script") << "ND9541" << true << "/cgi-bin/admin/system.upgrade"
                                             << "file";
}

void TestFirmwareModels::uploadPathByModel()
{
    QFETCH(QString, model);
    QFETCH(bool, script);
    QFETCH(QString, path);
    QFETCH(QString, part);
    QCOMPARE(CUpgradeFirmwareCtrl::UploadPath(model, script), path);
    QCOMPARE(CUpgradeFirmwareCtrl::UploadPartName(model, script), part);
}

void TestFirmwareModels::refusalTexts_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("refused");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("ok") << QByteArray("OK: firmware accepted, the device restarts\r\n") << false;
    QTest::newRow("html page") << QByteArray("<html><body>Upgrading...</body></html>") << false;
    QTest::newRow("error line")
        << QByteArray("ERROR: Upgrade firmware failed: the file is for model QB9365\r\n") << true;
    QTest::newRow("leading blanks") << QByteArray("\r\n  error: bad image") << true;
    QTest::newRow("inside a page")
        << QByteArray("<html><body>Upgrade firmware failed.</body></html>") << true;
    QTest::newRow("event script") << QByteArray("ERROR: Upload event script failed\r\n") << true;
    QTest::newRow("mentions errors later")
        << QByteArray("OK\r\nsystem_info_errorcount='0'\r\n") << false;
}

void TestFirmwareModels::refusalTexts()
{
    QFETCH(QByteArray, body);
    QTEST(isUploadRefusal(body), "refused");
}

QTEST_MAIN(TestFirmwareModels)
#include "tst_firmwaremodels.moc"
