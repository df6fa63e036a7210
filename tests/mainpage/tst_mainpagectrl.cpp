#include "CDeviceSearcherCtrl.h"
#include "CModelCtrl.h"
#include "MainPageFixture.h"

#include <QSignalSpy>

using namespace mainpagetest;

// Discovery and selection through the main page controller, against a simulated fleet on
// 127.0.52.x answering discovery on a port of its own.
class TestMainPageCtrl : public QObject
{
    Q_OBJECT

    static constexpr int kDiscoveryPort = 25752;
    CDeviceSimulator m_sim;

private slots:
    void initTestCase()
    {
        writeSettings("drmPort=" + QByteArray::number(kDiscoveryPort) + "\nshowAllBrand=false\n");
        registerDeviceMetaTypes();
        QVERIFY2(m_sim.start({"--count", "5", "--first-ip", "127.0.52.1", "--http-port", "8080",
                              "--https-port", "8443", "--recorders", "1", "--discovery-port",
                              QString::number(kDiscoveryPort)}),
                 qPrintable(m_sim.errorString()));
    }

    // A new discovery drops what the last one found and keeps devices added by hand.
    void discoveryReplacesDiscoveredRows()
    {
        CMainPageCtrl ctrl;
        ctrl.chain()->listModel()->ResetList(
            {record("127.0.52.200", true), record("127.0.52.201", false)});
        QSignalSpy stopped(&ctrl, &CMainPageCtrl::searchStopped);
        QSignalSpy authorizeStopped(&ctrl, &CMainPageCtrl::authorizeStopped);
        QVERIFY(ctrl.startSearchDevices());
        QVERIFY(authorizeStopped.count() >= 1);
        QCOMPARE(rowOf(ctrl, "127.0.52.200"), -1);
        QVERIFY(rowOf(ctrl, "127.0.52.201") >= 0);

        QVERIFY(stopped.wait(10000));
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(rowOf(ctrl, QString("127.0.52.%1").arg(i)) >= 0,
                     qPrintable(QString::number(i)));
        QCOMPARE(valueOf(ctrl, "127.0.52.1", CDeviceInfo::macRole).toString(),
                 QString("02-A5-7F-00-34-01"));
        QVERIFY(valueOf(ctrl, "127.0.52.1", CDeviceInfo::drmSearchedRole).toBool());
        QCOMPARE(valueOf(ctrl, "127.0.52.1", CDeviceInfo::httpPortRole).toInt(), 8080);

        // The second run replaces the first run's rows instead of adding to them.
        const int rows = ctrl.chain()->listModel()->rowCount();
        QVERIFY(ctrl.startSearchDevices());
        QVERIFY(stopped.wait(10000));
        QCOMPARE(ctrl.chain()->listModel()->rowCount(), rows);
    }

    void recorderSelectableOnlyWhenAllowed()
    {
        CMainPageCtrl ctrl;
        auto camera = record("127.0.52.1");
        camera->firmwareInfo = "QD8182-QXOR-0104a";
        auto recorder = record("127.0.52.5");
        recorder->firmwareInfo = "NR9782-QXOR-0104a";
        ctrl.chain()->listModel()->ResetList({camera, recorder});
        CModelCtrl* selection = ctrl.chain()->modelCtrl();
        QVERIFY(selection->selectAll());
        QCOMPARE(ctrl.chain()->sortFilterModel()->numSelected(), 1);
        ctrl.setNVRSelectable(true);
        QVERIFY(selection->selectAll());
        QCOMPARE(ctrl.chain()->sortFilterModel()->numSelected(), 2);
        ctrl.clearAllSelected();
        QCOMPARE(ctrl.chain()->sortFilterModel()->numSelected(), 0);
    }

    void selectingClearsTheNewMark()
    {
        CMainPageCtrl ctrl;
        ctrl.chain()->listModel()->ResetList({record("127.0.52.1"), record("127.0.52.2")});
        CAppendedDataModel* marks = ctrl.chain()->newItemModel();
        // Rows present when the chain was built carry no mark; these were inserted later.
        QVERIFY(marks->setData(marks->index(0, 0), true, CDeviceInfo::newItemRole));
        QVERIFY(marks->setData(marks->index(1, 0), true, CDeviceInfo::newItemRole));
        QVERIFY(ctrl.chain()->modelCtrl()->select(rowOf(ctrl, "127.0.52.2")));
        QTRY_VERIFY(!valueOf(ctrl, "127.0.52.2", CDeviceInfo::newItemRole).toBool());
        QVERIFY(valueOf(ctrl, "127.0.52.1", CDeviceInfo::newItemRole).toBool());
        ctrl.leavePage();
        QVERIFY(!valueOf(ctrl, "127.0.52.1", CDeviceInfo::newItemRole).toBool());
    }

    void settingsThroughTheController()
    {
        CMainPageCtrl ctrl;
        QCOMPARE(ctrl.getSettingsValue("DRMPORT", 1).toInt(), kDiscoveryPort);
        QCOMPARE(ctrl.getSettingsValue("absentKey", 7).toInt(), 7);
        QVERIFY(!ctrl.getSettingsValue("absentKey").isValid());
        QCOMPARE(ctrl.currentLanguage(), QString("English"));
        QSignalSpy changed(&ctrl, &CMainPageCtrl::currentLanguageChanged);
        ctrl.setTranslation("English");
        ctrl.setTranslation("NoSuchLanguage");
        QCOMPARE(changed.count(), 0);
        QCOMPARE(ctrl.currentLanguage(), QString("English"));
    }
};

QTEST_MAIN(TestMainPageCtrl)
#include "tst_mainpagectrl.moc"
