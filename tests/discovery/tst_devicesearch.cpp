// The discovery controller and its searcher against the real library and a scripted responder on
// loopback (127.0.47.x): answer filtering, the search timer, refusals, the background stop.
#include "CDeviceListModel.h"
#include "CDeviceSearcher.h"
#include "CDeviceSearcherCtrl.h"
#include "FoundCollector.h"
#include "TestResponder.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstdlib>

class tst_DeviceSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answerFilter_data();
    void answerFilter();
    void plainSearchEndsAfterTheSearchTime();
    void secondStartIsRefused();
    void abortStopsSilently();
    void stopInBackgroundReturnsAtOnceAndStoppedFollows();
    void rangeProgressTicksAboutOnceASecond();
    void rangeTextsAreChecked_data();
    void rangeTextsAreChecked();
    void linkLocalAndNormalAddressGiveOneRow();

private:
    std::unique_ptr<CDeviceSearcherCtrl> makeCtrl(int searchTimeMs);
    quint16 m_port = 0;
};

void tst_DeviceSearch::initTestCase()
{
    qputenv("PYXERA_LOOPBACK_ONLY", "1");
    registerDeviceMetaTypes();
}

std::unique_ptr<CDeviceSearcherCtrl> tst_DeviceSearch::makeCtrl(int searchTimeMs)
{
    m_port = TestResponder::freePort();
    auto ctrl = std::make_unique<CDeviceSearcherCtrl>();
    ctrl->setPort(m_port);
    ctrl->setSearchTime(searchTimeMs);
    return ctrl;
}

void tst_DeviceSearch::answerFilter_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("nvOnly");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("own brand") << "Q2710-QXOR-4.12.7"
                               << "127.0.47.11" << false << false << true;
    QTest::newRow("other brand") << "Q2710-ACME-4.12.7"
                                 << "127.0.47.11" << false << false << false;
    QTest::newRow("other brand, all brands shown") << "Q2710-ACME-4.12.7"
                                                   << "127.0.47.11" << false << true << true;
    QTest::newRow("brand in other case") << "Q2710-qxor-4.12.7"
                                         << "127.0.47.11" << false << false << false;
    QTest::newRow("no dash") << "Q2710"
                             << "127.0.47.11" << false << false << true;
    QTest::newRow("three groups") << "Q2710-QXOR-4.12.7"
                                  << "127.0.47" << false << false << false;
    QTest::newRow("empty address") << "Q2710-QXOR-4.12.7"
                                   << "" << false << true << false;
    QTest::newRow("group above 255") << "Q2710-QXOR-1"
                                     << "127.0.47.256" << false << true << false;
    QTest::newRow("recorders only, recorder") << "NR9782-QXOR-0104a"
                                              << "127.0.47.11" << true << false << true;
    QTest::newRow("recorders only, camera") << "Q2710-QXOR-0104a"
                                            << "127.0.47.11" << true << false << false;
}

// One crafted answer, then an always-accepted one from another device: when the second arrives,
// the first has been handled (one library thread, in order), so its absence means it was dropped.
void tst_DeviceSearch::answerFilter()
{
    QFETCH(QString, info);
    QFETCH(QString, ip);
    QFETCH(bool, nvOnly);
    QFETCH(bool, showAll);
    QFETCH(bool, accepted);

    auto ctrl = makeCtrl(5000);
    ctrl->setNVOnly(nvOnly);
    ctrl->setShowAllBrands(showAll);
    TestDevice crafted{"127.0.47.11",
                       TestResponder::makeAnswer(ip.toStdString(), 11, info.toStdString())};
    crafted.answer.http_port = 8081;
    crafted.answer.https_port = 8443;
    crafted.answer.cms_port = 3455;
    TestDevice sentinel{"127.0.47.12",
                        TestResponder::makeAnswer("127.0.47.12", 12, "NR9782-QXOR-0104a")};
    TestResponder responder(m_port, {crafted, sentinel});
    FoundCollector found(ctrl.get());
    if (nvOnly && !accepted)
        QTest::ignoreMessage(QtDebugMsg, QString("throw away: " + info).toUtf8().constData());

    QVERIFY(ctrl->start());
    QTRY_VERIFY_WITH_TIMEOUT(found.ips().contains("127.0.47.12"), 5000);
    const bool got = found.ips().contains(ip) && found.devices.first()->mac == "00-1A-07-41-00-0B";
    QCOMPARE(got, accepted);
    if (accepted) {
        const CDeviceInfo& d = *found.devices.first();
        QCOMPARE(d.ip, ip);
        QCOMPARE(d.model, QString("Q2710"));
        QCOMPARE(d.cameraModelName, QString("Q2710"));
        QCOMPARE(d.firmwareInfo, info);
        QCOMPARE(d.firmware, info.count('-') == 2 ? info.section('-', 2) : info);
        QCOMPARE(d.httpPort, quint16(8081));
        QCOMPARE(d.httpsPort, quint16(8443));
        QCOMPARE(d.cmsPort, quint16(3455));
        QVERIFY(d.drmSearched);
        QVERIFY(d.username.isEmpty());
    }
    ctrl->abort();
}

void tst_DeviceSearch::plainSearchEndsAfterTheSearchTime()
{
    auto ctrl = makeCtrl(1500);
    QSignalSpy stopped(ctrl.get(), &CDeviceSearcherCtrl::searchStopped);
    QSignalSpy progress(ctrl.get(), &CDeviceSearcherCtrl::progressChanged);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(ctrl->start());
    QVERIFY(ctrl->isSearching());
    QVERIFY(stopped.wait(5000));
    QVERIFY2(clock.elapsed() >= 1400, "searchStopped came before the search time");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(progress.count(), 0);
    QVERIFY(!ctrl->isSearching());
    QVERIFY(!ctrl->searcher()->isDiscovering());
    QVERIFY(!stopped.wait(300)); // the timer is not left running
}

void tst_DeviceSearch::secondStartIsRefused()
{
    auto ctrl = makeCtrl(3000);
    QVERIFY(ctrl->start());
    QVERIFY(!ctrl->start());
    QVERIFY(!ctrl->startRange("127.0.47.1", "127.0.47.9", 2));
    QVERIFY(ctrl->searcher()->isDiscovering());
    QSignalSpy stopped(ctrl.get(), &CDeviceSearcherCtrl::searchStopped);
    ctrl->StopSearchDevices();
    QCOMPARE(stopped.count(), 1);
    QVERIFY2(ctrl->startRange("127.0.47.1", "127.0.47.9", 2), "allowed again once stopped");
    ctrl->abort();
}

void tst_DeviceSearch::abortStopsSilently()
{
    auto ctrl = makeCtrl(800);
    QSignalSpy stopped(ctrl.get(), &CDeviceSearcherCtrl::searchStopped);
    QVERIFY(ctrl->start());
    QTest::ignoreMessage(QtDebugMsg, "abort Closing DeviceSearcher");
    ctrl->abort();
    QVERIFY(!ctrl->isSearching());
    QVERIFY(!ctrl->searcher()->isDiscovering());
    QVERIFY(!stopped.wait(1500));
}

void tst_DeviceSearch::stopInBackgroundReturnsAtOnceAndStoppedFollows()
{
    auto ctrl = makeCtrl(30000);
    TestResponder responder(m_port, {{"127.0.47.21", TestResponder::makeAnswer("127.0.47.21", 21)}},
                            false);
    FoundCollector found(ctrl.get());
    QSignalSpy stopped(ctrl.get(), &CDeviceSearcherCtrl::searchStopped);
    QVERIFY(ctrl->startRange("127.0.47.1", "127.0.47.40", 30));
    QTRY_COMPARE_WITH_TIMEOUT(found.devices.size(), 1, 5000);
    ctrl->stopInBackground();
    QVERIFY(!ctrl->isSearching()); // the timers stop on the calling thread at once
    QCOMPARE(stopped.count(), 0);  // the signal follows when the library has stopped
    QVERIFY(stopped.wait(5000));
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!ctrl->searcher()->isDiscovering());
    QVERIFY2(ctrl->start(), "a new search may start after a background stop");
    ctrl->abort();
}

void tst_DeviceSearch::rangeProgressTicksAboutOnceASecond()
{
    auto ctrl = makeCtrl(60000);
    QSignalSpy progress(ctrl.get(), &CDeviceSearcherCtrl::progressChanged);
    QSignalSpy stopped(ctrl.get(), &CDeviceSearcherCtrl::searchStopped);
    QCOMPARE(ctrl->progress(), 0.0);
    QVERIFY(ctrl->startRange("127.0.47.1", "127.0.47.2", 3));
    QCOMPARE(progress.count(), 1); // at the start
    QVERIFY(stopped.wait(6000));
    // Ticks at 1 s and 2 s (a tick at 3 s races the end of the search).
    QVERIFY2(progress.count() >= 3 && progress.count() <= 4,
             qPrintable(QString::number(progress.count())));
    QVERIFY(ctrl->progress() >= 100.0);
}

void tst_DeviceSearch::rangeTextsAreChecked_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("ok");
    QTest::newRow("valid") << "127.0.47.1"
                           << "127.0.47.9" << true;
    QTest::newRow("single address") << "127.0.47.9"
                                    << "127.0.47.9" << true;
    QTest::newRow("end below start") << "127.0.47.9"
                                     << "127.0.47.1" << false;
    QTest::newRow("three groups") << "127.0.47"
                                  << "127.0.47.9" << false;
    QTest::newRow("group above 255") << "127.0.47.1"
                                     << "127.0.47.256" << false;
    QTest::newRow("not an address") << "camera"
                                    << "127.0.47.9" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
}

void tst_DeviceSearch::rangeTextsAreChecked()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(bool, ok);
    CDeviceSearcher searcher;
    QCOMPARE(searcher.startRange(TestResponder::freePort(), first, last), ok);
    QCOMPARE(searcher.isDiscovering(), ok);
    if (ok)
        QVERIFY(searcher.stop());
    else
        QVERIFY(searcher.lastError() != 0);
    QVERIFY2(!searcher.stop(), "nothing is left open");
}

// The library reports whatever address the device states; a device that states its link-local
// address on one interface and its normal one on another gives one row with both.
void tst_DeviceSearch::linkLocalAndNormalAddressGiveOneRow()
{
    auto ctrl = makeCtrl(5000);
    TestDevice linkLocal{"127.0.47.31", TestResponder::makeAnswer("169.254.10.20", 31)};
    TestDevice normal{"127.0.47.32", TestResponder::makeAnswer("127.0.47.32", 31)};
    TestDevice other{"127.0.47.33", TestResponder::makeAnswer("127.0.47.33", 33)};
    TestResponder responder(m_port, {linkLocal, normal, other});
    CDeviceListModel list;
    connect(ctrl.get(), &CDeviceSearcherCtrl::deviceFound, &list, &CDeviceListModel::appendDevice,
            Qt::QueuedConnection);
    QVERIFY(ctrl->start());
    QTRY_COMPARE_WITH_TIMEOUT(list.rowCount(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(
        !list.data(list.index(0), CDeviceInfo::aliasIpRole).toString().isEmpty(), 5000);
    QCOMPARE(list.data(list.index(0), CDeviceInfo::ipRole).toString(), QString("127.0.47.32"));
    QCOMPARE(list.data(list.index(0), CDeviceInfo::aliasIpRole).toString(),
             QString("169.254.10.20"));
    QCOMPARE(list.data(list.index(1), CDeviceInfo::ipRole).toString(), QString("127.0.47.33"));
    ctrl->abort();
}

QTEST_GUILESS_MAIN(tst_DeviceSearch)
#include "tst_devicesearch.moc"
