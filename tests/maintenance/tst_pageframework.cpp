// The page framework as the operation pages use it: copying the main selection, status maps,
// progress, and the restore bodies and CGI command forms that need no device.

#include "CAppendedDataModel.h"
#include "CCgiGetDevicesCtrl.h"
#include "CCgiGetPageCtrl.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CRebootPageCtrl.h"
#include "CRestoreDevicesCtrl.h"
#include "CRestorePageCtrl.h"
#include "CStatusMapFilterModel.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

std::shared_ptr<CDeviceInfo> camera(int i)
{
    auto device = std::make_shared<CDeviceInfo>();
    device->model = QStringLiteral("QD8182");
    device->ip = QStringLiteral("127.0.30.%1").arg(i + 1);
    device->mac = QStringLiteral("02-00-00-00-00-%1").arg(i, 2, 10, QLatin1Char('0'));
    device->firmwareInfo = QStringLiteral("QD8182-QXOR-0104a");
    device->firmware = QStringLiteral("0104a");
    device->username = QStringLiteral("root");
    device->password = QStringLiteral("pw%1").arg(i);
    device->httpPort = static_cast<quint16>(8000 + i);
    return device;
}

void fill(CMainDeviceChain& chain, int count)
{
    std::deque<std::shared_ptr<CDeviceInfo>> devices;
    for (int i = 0; i < count; ++i)
        devices.push_back(camera(i));
    chain.listModel()->ResetList(devices);
}

} // namespace

class TestPageFramework : public QObject
{
    Q_OBJECT

private slots:
    void enterWithoutMainListFails();
    void enterWithNothingSelectedThenStartFails();
    void enterCopiesSelectedRows();
    void rebootProgress_data();
    void rebootProgress();
    void progressFollowsOnlyStatusChanges();
    void failedModelShowsFailureCodes();
    void restoreBody_data();
    void restoreBody();
    void invalidRestoreMaskRefusesToStart();
    void cgiCommandSplit_data();
    void cgiCommandSplit();
    void cgiAnswerText_data();
    void cgiAnswerText();
};

void TestPageFramework::enterWithoutMainListFails()
{
    CRebootPageCtrl page;
    QVERIFY(!page.SetMainModelCtrl(nullptr));
    QSignalSpy failed(&page, &CPageCtrl::enterPageFailed);
    page.enterPage();
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), 0);
}

void TestPageFramework::enterWithNothingSelectedThenStartFails()
{
    CMainDeviceChain chain;
    fill(chain, 3);
    CRebootPageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    QSignalSpy enterFailed(&page, &CPageCtrl::enterPageFailed);
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);
    QSignalSpy completed(&page, &CPageCtrl::completed);
    page.enterPage();
    QCOMPARE(enterFailed.count(), 0);
    QCOMPARE(page.DevicesModel()->rowCount(), 0);
    page.start();
    QCOMPARE(startFailed.count(), 1);
    QCOMPARE(startFailed.at(0).at(0).toInt(), 0);
    QCOMPARE(page.pageStatus(), int(CPageCtrl::Nothing));
    QCOMPARE(completed.count(), 0);
}

void TestPageFramework::enterCopiesSelectedRows()
{
    CMainDeviceChain chain;
    fill(chain, 4);
    QVERIFY(chain.modelCtrl()->toggleSelection(1));
    QVERIFY(chain.modelCtrl()->toggleSelection(3));
    CRestorePageCtrl page;
    QVERIFY(page.SetMainModelCtrl(chain.modelCtrl()));
    page.enterPage();
    QCOMPARE(page.CopiedRows(), (QList<int>{1, 3}));
    QAbstractItemModel* devices = page.DevicesModel();
    QCOMPARE(devices->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const auto source = camera(row * 2 + 1);
        const QModelIndex index = devices->index(row, 0);
        QCOMPARE(index.data(CDeviceInfo::ipRole).toString(), source->ip);
        QCOMPARE(index.data(CDeviceInfo::passwordRole).toString(), source->password);
        QCOMPARE(index.data(CDeviceInfo::httpPortRole).toInt(), int(source->httpPort));
        QCOMPARE(index.data(CDeviceInfo::statusRole).toMap(),
                 (QVariantMap{{QStringLiteral("restore"), -1}}));
    }
    // Entering again replaces the copy rather than adding to it.
    QVERIFY(chain.modelCtrl()->toggleSelection(3));
    page.enterPage();
    QCOMPARE(devices->rowCount(), 1);
}

void TestPageFramework::rebootProgress_data()
{
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("progress");
    QTest::newRow("nothing answered yet") << QList<int>{800, 800, 800, 800} << 0;
    QTest::newRow("one of four answered") << QList<int>{801, 800, 800, 800} << 12;
    QTest::newRow("failures count in the first half") << QList<int>{803, 806, 800, -1} << 25;
    QTest::newRow("all commands answered, none back") << QList<int>{801, 801, 801, 801} << 50;
    QTest::newRow("all answered, one failed") << QList<int>{801, 805, 801, 801} << 50;
    QTest::newRow("one of three back") << QList<int>{802, 801, 801} << 66;
    QTest::newRow("all back") << QList<int>{802, 802, 802, 802} << 100;
}

void TestPageFramework::rebootProgress()
{
    QFETCH(QList<int>, statuses);
    QFETCH(int, progress);
    CMainDeviceChain chain;
    fill(chain, statuses.size());
    chain.modelCtrl()->selectAll();
    CRebootPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    CAppendedDataModel* layer = page.StatusLayer();
    for (int row = 0; row < statuses.size(); ++row)
        QVERIFY(layer->setData(layer->index(row, 0),
                               QVariantMap{{QStringLiteral("restart"), statuses.at(row)}},
                               CDeviceInfo::statusRole));
    QCOMPARE(page.progress(), progress);
}

void TestPageFramework::progressFollowsOnlyStatusChanges()
{
    CMainDeviceChain chain;
    fill(chain, 2);
    chain.modelCtrl()->selectAll();
    CRestorePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    QSignalSpy progressChanged(&page, &CPageCtrl::progressChanged);
    CAppendedDataModel* layer = page.StatusLayer();
    const QVariantMap success{{QStringLiteral("restore"), 701}};

    QVERIFY(layer->setData(layer->index(0, 0), success, CDeviceInfo::statusRole));
    QCOMPARE(page.progress(), 50);
    QCOMPARE(progressChanged.count(), 1);

    // Another failure keeps the progress where it is: no change signal.
    QVERIFY(layer->setData(layer->index(1, 0), QVariantMap{{QStringLiteral("restore"), 702}},
                           CDeviceInfo::statusRole));
    QCOMPARE(progressChanged.count(), 1);

    // A device field changing is not a status change.
    QVERIFY(page.PageList()->setData(page.PageList()->index(1, 0), QStringLiteral("10.0.0.1"),
                                     CDeviceInfo::ipRole));
    QCOMPARE(progressChanged.count(), 1);

    QVERIFY(layer->setData(layer->index(1, 0), success, CDeviceInfo::statusRole));
    QCOMPARE(page.progress(), 100);
    QCOMPARE(progressChanged.count(), 2);
}

void TestPageFramework::failedModelShowsFailureCodes()
{
    CMainDeviceChain chain;
    fill(chain, 5);
    chain.modelCtrl()->selectAll();
    CRebootPageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    const QList<int> statuses{802, 803, 806, 801, 805};
    CAppendedDataModel* layer = page.StatusLayer();
    for (int row = 0; row < statuses.size(); ++row)
        layer->setData(layer->index(row, 0),
                       QVariantMap{{QStringLiteral("restart"), statuses.at(row)}},
                       CDeviceInfo::statusRole);
    auto* failed = qobject_cast<CStatusMapFilterModel*>(page.FailedModel());
    QVERIFY(failed);
    failed->refresh();
    QSet<QString> shown;
    for (int row = 0; row < failed->rowCount(); ++row)
        shown.insert(failed->index(row, 0).data(CDeviceInfo::ipRole).toString());
    QCOMPARE(shown, (QSet<QString>{camera(1)->ip, camera(2)->ip, camera(4)->ip}));
}

void TestPageFramework::restoreBody_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("0: everything") << 0 << QByteArray("system_restore=1");
    QTest::newRow("5: network and language")
        << 5 << QByteArray("system_restoreexceptnet=1&system_restoreexceptlang=1");
    QTest::newRow("32: lens only") << 32 << QByteArray("system_restoreexceptlen=1");
    QTest::newRow("63: every group")
        << 63
        << QByteArray("system_restoreexceptnet=1&system_restoreexceptdst=1&"
                      "system_restoreexceptlang=1&system_restoreexceptzapk=1&"
                      "system_restoreexceptfocusvalue=1&system_restoreexceptlen=1");
    QTest::newRow("64: invalid") << 64 << QByteArray();
    QTest::newRow("negative: invalid") << -1 << QByteArray();
}

void TestPageFramework::restoreBody()
{
    QFETCH(int, mask);
    QFETCH(QByteArray, body);
    if (body.isEmpty())
        QTest::ignoreMessage(
            QtDebugMsg,
            qPrintable(QStringLiteral("CmdRestore: exclude setting invalid, iGroup:%1").arg(mask)));
    QCOMPARE(CRestoreDevicesCtrl::RestoreBody(mask), body);
}

void TestPageFramework::invalidRestoreMaskRefusesToStart()
{
    CMainDeviceChain chain;
    fill(chain, 2);
    chain.modelCtrl()->selectAll();
    CRestorePageCtrl page;
    page.SetMainModelCtrl(chain.modelCtrl());
    page.enterPage();
    page.setExcludeGroup(64);
    QSignalSpy startFailed(&page, &CPageCtrl::startFailed);
    QTest::ignoreMessage(QtDebugMsg, "CmdRestore: exclude setting invalid, iGroup:64");
    page.start();
    QCOMPARE(startFailed.count(), 1);
    // No row was touched: nothing was sent.
    QCOMPARE(page.StatusLayer()->index(0, 0).data(CDeviceInfo::statusRole).toMap(),
             (QVariantMap{{QStringLiteral("restore"), -1}}));
}

void TestPageFramework::cgiCommandSplit_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("parameters");
    QTest::newRow("two names")
        << "/cgi-bin/admin/getparam.cgi?system_hostname&system_info_modelname"
        << "/cgi-bin/admin/getparam.cgi" << QStringList{"system_hostname", "system_info_modelname"};
    QTest::newRow("no query") << "/cgi-bin/admin/lsctrl.cgi"
                              << "/cgi-bin/admin/lsctrl.cgi" << QStringList();
    QTest::newRow("empty items kept") << "/a.cgi?x=1&&y"
                                      << "/a.cgi" << QStringList{"x=1", "", "y"};
    QTest::newRow("after a second ? nothing is sent") << "/a.cgi?x=1?y=2"
                                                      << "/a.cgi" << QStringList{"x=1"};
    QTest::newRow("empty query") << "/a.cgi?"
                                 << "/a.cgi" << QStringList{""};
}

void TestPageFramework::cgiCommandSplit()
{
    QFETCH(QString, command);
    QFETCH(QString, path);
    QFETCH(QStringList, parameters);
    QString gotPath;
    QStringList gotParameters;
    CCgiGetDevicesCtrl::SplitCommand(command, &gotPath, &gotParameters);
    QCOMPARE(gotPath, path);
    QCOMPARE(gotParameters, parameters);
}

void TestPageFramework::cgiAnswerText_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("values in key order, unquoted")
        << QByteArray("system_info_modelname='X'\r\nsystem_hostname='cam1'\r\n")
        << QByteArray("cam1\n\nX\n\n");
    QTest::newRow("later equal key wins")
        << QByteArray("a='1'\r\na='2'\r\n") << QByteArray("2\n\n");
    QTest::newRow("lines without a name are ignored")
        << QByteArray("=x\r\nplain\r\n\r\nk=''\r\n") << QByteArray("\n\n");
    QTest::newRow("nothing parseable") << QByteArray("<html>oops</html>") << QByteArray();
}

void TestPageFramework::cgiAnswerText()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, text);
    QCOMPARE(CCgiGetDevicesCtrl::AnswerText(message), text);
}

QTEST_MAIN(TestPageFramework)
#include "tst_pageframework.moc"
