#include "CAuthorizeCtrl.h"
#include "CModelCtrl.h"
#include "MainPageFixture.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QUrl>

using namespace mainpagetest;

// Authorization of the main list against simulated devices on 127.0.53.x: one device per
// outcome, the first two of them factory-new.
class TestAuthorize : public QObject
{
    Q_OBJECT

    CDeviceSimulator m_sim;
    const QString m_firstNew = QStringLiteral("127.0.53.1");
    const QString m_secondNew = QStringLiteral("127.0.53.2");
    const QString m_good = QStringLiteral("127.0.53.3");
    const QString m_otherPassword = QStringLiteral("127.0.53.4");
    const QString m_silent = QStringLiteral("127.0.53.5");
    const QString m_offline = QStringLiteral("127.0.53.6");
    const QString m_slow = QStringLiteral("127.0.53.7");

    std::unique_ptr<CMainPageCtrl> m_ctrl;

    void fillList(const QStringList& ips)
    {
        DeviceList devices;
        for (const QString& ip : ips)
            devices.push_back(record(ip));
        m_ctrl->chain()->listModel()->ResetList(devices);
    }

    bool waitForStatus(const QString& ip, int status, int timeoutMs = 15000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (statusOf(*m_ctrl, ip) == status)
                return true;
            QTest::qWait(20);
        }
        qWarning() << ip << "has status" << statusOf(*m_ctrl, ip) << "not" << status;
        return false;
    }

private slots:
    void initTestCase()
    {
        writeSettings();
        registerDeviceMetaTypes();
        QVERIFY2(m_sim.start({"--count", "7", "--first-ip", "127.0.53.1", "--http-port", "8080",
                              "--https-port", "8443", "--factory-new", "2", "--discovery-port", "0",
                              "--restart-ms", "300"}),
                 qPrintable(m_sim.errorString()));
        QVERIFY(m_sim.setState(m_otherPassword, {{"password", "Different1"}}));
        QVERIFY(m_sim.setFault(m_silent, "silent"));
        QVERIFY(m_sim.setFault(m_offline, "offline"));
    }

    void init() { m_ctrl = std::make_unique<CMainPageCtrl>(); }

    void cleanup() { m_ctrl.reset(); }

    void everyRowWhenNoneIsSelected()
    {
        fillList({m_firstNew, m_secondNew, m_good, m_otherPassword, m_silent, m_offline});
        QSignalSpy stopped(m_ctrl.get(), &CMainPageCtrl::authorizeStopped);
        QSignalSpy needPassword(m_ctrl.get(), &CMainPageCtrl::needToSetPassword);
        m_ctrl->authorize("root", "ardmere1");
        QCOMPARE(statusOf(*m_ctrl, m_good), int(CAuthorizeCtrl::Testing));

        QVERIFY(waitForStatus(m_good, CAuthorizeCtrl::Success));
        QVERIFY(waitForStatus(m_otherPassword, CAuthorizeCtrl::AuthFail));
        QVERIFY(waitForStatus(m_offline, CAuthorizeCtrl::ServerNotFound));
        QVERIFY(waitForStatus(m_firstNew, CAuthorizeCtrl::NeedToSetPassword));
        QVERIFY(waitForStatus(m_secondNew, CAuthorizeCtrl::NeedToSetPassword));
        QVERIFY(waitForStatus(m_silent, CAuthorizeCtrl::Timeout));
        QTRY_COMPARE(needPassword.count(), 1);
        QVERIFY(stopped.count() >= 1);

        // The identity answer fills the record of a device that was added by address.
        QCOMPARE(valueOf(*m_ctrl, m_good, CDeviceInfo::modelRole).toString(), QString("QF8360"));
        QCOMPARE(valueOf(*m_ctrl, m_good, CDeviceInfo::macRole).toString(),
                 QString("02-A5-7F-00-35-03"));
        QCOMPARE(valueOf(*m_ctrl, m_good, CDeviceInfo::firmwareRole).toString(), QString("0104a"));
        QCOMPARE(valueOf(*m_ctrl, m_good, CDeviceInfo::usernameRole).toString(), QString("root"));
        // Then the SD-card query of the devices that answered.
        QTRY_VERIFY(!valueOf(*m_ctrl, m_good, CDeviceInfo::sdCardStatusRole).toString().isEmpty());
        QCOMPARE(valueOf(*m_ctrl, m_otherPassword, CDeviceInfo::sdCardStatusRole).toString(),
                 QString());
    }

    void needPasswordFollowsTheEndOfTheBatch()
    {
        fillList({m_firstNew, m_good});
        QList<QByteArray> order;
        connect(m_ctrl.get(), &CMainPageCtrl::authorizeStopped, this,
                [&order] { order.append("stopped"); });
        connect(m_ctrl.get(), &CMainPageCtrl::needToSetPassword, this,
                [&order] { order.append("needPassword"); });
        m_ctrl->authorize("root", "ardmere1");
        QTRY_COMPARE_WITH_TIMEOUT(order.count("needPassword"), 1, 10000);
        QCOMPARE(order.last(), QByteArray("needPassword"));
        QCOMPARE(order.at(order.size() - 2), QByteArray("stopped"));
    }

    void onlySelectedRowsAndPreTest()
    {
        fillList({m_good, m_otherPassword, m_silent});
        CModelCtrl* selection = m_ctrl->chain()->modelCtrl();
        // Selecting a never-tested row runs the pre-test on it with root and no password, whose
        // failure reads 100 whatever its cause.
        QVERIFY(selection->select(rowOf(*m_ctrl, m_otherPassword)));
        QVERIFY(waitForStatus(m_otherPassword, CAuthorizeCtrl::PreTestFailed));
        QCOMPARE(statusOf(*m_ctrl, m_good), -1);

        m_ctrl->authorize("root", "Different1");
        QVERIFY(waitForStatus(m_otherPassword, CAuthorizeCtrl::Success));
        QCOMPARE(statusOf(*m_ctrl, m_good), -1);
        QCOMPARE(statusOf(*m_ctrl, m_silent), -1);

        // A row already authorized is not pre-tested again when selected.
        QVERIFY(selection->select(rowOf(*m_ctrl, m_otherPassword)));
        QVERIFY(selection->select(rowOf(*m_ctrl, m_otherPassword)));
        QTest::qWait(300);
        QCOMPARE(statusOf(*m_ctrl, m_otherPassword), int(CAuthorizeCtrl::Success));
    }

    void lateAnswerChangesNothing()
    {
        QVERIFY(m_sim.setFault(m_slow, "slow", {{"delayMs", 800}}));
        fillList({m_slow});
        QSignalSpy stopped(m_ctrl.get(), &CMainPageCtrl::authorizeStopped);
        m_ctrl->authorize("root", "ardmere1");
        QCOMPARE(statusOf(*m_ctrl, m_slow), int(CAuthorizeCtrl::Testing));
        CDeviceSortFilterModel* view = m_ctrl->chain()->sortFilterModel();
        QVERIFY(view->setData(view->index(0, 0), 806, CDeviceInfo::statusRole));
        QVERIFY(stopped.wait(10000));
        QTest::qWait(100);
        QCOMPARE(statusOf(*m_ctrl, m_slow), 806);
        QCOMPARE(valueOf(*m_ctrl, m_slow, CDeviceInfo::modelRole).toString(), QString());
        QVERIFY(m_sim.setFault(m_slow, "none"));
    }

    void abortEndsTheBatchAsTimedOut()
    {
        fillList({m_silent});
        m_ctrl->authorize("root", "ardmere1");
        QCOMPARE(statusOf(*m_ctrl, m_silent), int(CAuthorizeCtrl::Testing));
        QSignalSpy stopped(m_ctrl.get(), &CMainPageCtrl::authorizeStopped);
        m_ctrl->abortAllWorkingJobs();
        QVERIFY(waitForStatus(m_silent, CAuthorizeCtrl::Timeout, 1000));
        QVERIFY(stopped.count() >= 1);
    }

    // Factory-new devices get their first password through factory mode, then are authorized
    // with it. The password holds every character that a command split at "&" and "=" would
    // otherwise mangle.
    void firstPasswordThroughFactoryMode()
    {
        QVERIFY(m_sim.setState(
            m_firstNew, {{"params", QJsonObject{{"layout_defaultpassword_type", "31"},
                                                {"layout_defaultpassword_length", "10~32"}}}}));
        fillList({m_firstNew, m_secondNew});
        QSignalSpy needPassword(m_ctrl.get(), &CMainPageCtrl::needToSetPassword);
        m_ctrl->authorize("root", "ardmere1");
        QVERIFY(needPassword.wait(10000));

        const QVariantMap rule = m_ctrl->getPasswordPolicyRuleForSetNewPassword(
            m_ctrl->authorizeCtrl()->needPasswordJobs().first().toMap().value("ip") == m_firstNew
                ? 0
                : 1);
        QCOMPARE(rule.value("minPasswordLength").toInt(), 10);
        QCOMPARE(rule.value("maxPasswordLength").toInt(), 32);
        QVERIFY(rule.value("atLeastOneCapital").toBool());

        const QString password = QStringLiteral("Ab1&c%d=e+f 'g");
        QSignalSpy authorizing(m_ctrl.get(), &CMainPageCtrl::authorizing);
        m_ctrl->setNewFWPassword(password);
        QVERIFY(waitForStatus(m_firstNew, CAuthorizeCtrl::Success));
        QVERIFY(waitForStatus(m_secondNew, CAuthorizeCtrl::Success));
        QVERIFY(authorizing.count() >= 2);
        QCOMPARE(valueOf(*m_ctrl, m_firstNew, CDeviceInfo::passwordRole).toString(), password);
        for (const QString& ip : {m_firstNew, m_secondNew}) {
            const QJsonObject device = m_sim.device(ip);
            QCOMPARE(device.value("firstUse").toBool(), false);
            QCOMPARE(device.value("password").toString(), password);
        }
    }
};

QTEST_MAIN(TestAuthorize)
#include "tst_authorize.moc"
