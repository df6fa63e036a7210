#include "CNetnsFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

// The real program inside a private network namespace, with a scene that adds the alias
// addresses at once: however a run ends, its aliases must not outlive it for longer than the
// next start.
class TestAliasProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    QString writeScene(const QString& name, bool add, bool quitWhenDone)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        QByteArray text = "import QtQuick 2.15\n"
                          "import QtQuick.Window 2.15\n"
                          "Window {\n  id: root; visible: true\n"
                          "  width: 100; height: 100\n"
                          "  Connections {\n"
                          "    target: aliasIpCtrl\n"
                          "    function onAliasIpAdded() { console.log('alias-added') }\n"
                          "    function onAliasIpAddFailed() { console.log('alias-failed') }\n"
                          "    function onAddAliasIpFinished() {\n"
                          "      console.log('alias-finished')\n";
        // Closing the last window ends the program as it does for a user.
        if (quitWhenDone)
            text += "      Qt.callLater(root.close)\n";
        text += "    }\n"
                "  }\n"
                "  Component.onCompleted: {\n"
                "    console.log('scene-loaded')\n";
        if (add)
            text += "    aliasIpCtrl.addAliasIp()\n";
        else
            text += "    Qt.callLater(Qt.quit)\n";
        text += "  }\n}\n";
        file.write(text);
        return path;
    }

    std::unique_ptr<QProcess> start(const QString& scene, const QStringList& prefix = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        const QStringList arguments = prefix + QStringList{m_program, scene};
        process->start(arguments.first(), arguments.mid(1));
        return process;
    }

    static bool waitForOutput(QProcess* process, const QByteArray& text, QByteArray* seen)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            process->waitForReadyRead(200);
            *seen += process->readAll();
            if (seen->contains(text))
                return true;
            if (process->state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

    static QStringList linkLocal()
    {
        return CNetnsFixture::addresses("ardm0").filter(QRegularExpression("^169\\.254\\."));
    }

    static QString recorded()
    {
        return QSettings("Ardmere", "Ardmere")
            .value(QString("aliasip/%1").arg(CNetnsFixture::interfaceIndex("ardm0")))
            .toString();
    }

private slots:
    void initTestCase()
    {
        if (!CNetnsFixture::insideTestNamespace())
            QSKIP("needs the private network namespace of run-in-netns.sh");
        QVERIFY(m_dir.isValid());
        // A copy of its own, so that no settings.ini beside the build's program applies.
        m_program = m_dir.filePath("ardmere");
        QVERIFY(QFile::copy(ARDMERE_BINARY, m_program));
        QVERIFY(QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadUser |
                                                     QFile::WriteUser | QFile::ExeUser));
        QVERIFY(CNetnsFixture::addVeth("ardm0"));
        QVERIFY(CNetnsFixture::ip("addr add 10.77.0.2/24 dev ardm0"));
    }

    void cleanup() { QSettings("Ardmere", "Ardmere").remove("aliasip"); }

    void runEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("window closed") << "closed";
        QTest::newRow("SIGTERM") << "SIGTERM";
        QTest::newRow("SIGINT") << "SIGINT";
        QTest::newRow("SIGKILL") << "SIGKILL";
    }

    void runEnds()
    {
        QFETCH(QString, ending);
        const bool closes = ending == "closed";
        auto run = start(writeScene("add-" + ending + ".qml", true, closes));
        QByteArray seen;
        QVERIFY2(waitForOutput(run.get(), "alias-finished", &seen), seen.constData());
        QVERIFY2(seen.contains("alias-added"), seen.constData());
        QStringList added;
        if (!closes) {
            added = linkLocal();
            QCOMPARE(added.size(), 1);
            QCOMPARE(recorded() + "/16", added[0]);
        }

        if (ending == "SIGTERM")
            run->terminate();
        else if (ending == "SIGINT")
            ::kill(static_cast<pid_t>(run->processId()), SIGINT);
        else if (ending == "SIGKILL")
            run->kill();
        QVERIFY(run->waitForFinished(60000));

        if (ending == "SIGKILL") {
            // Nothing ran at the end: the alias and its record stay until the next start.
            QCOMPARE(run->exitStatus(), QProcess::CrashExit);
            QCOMPARE(linkLocal(), added);
            QCOMPARE(recorded() + "/16", added[0]);
            auto next = start(writeScene("plain.qml", false, false));
            QVERIFY(next->waitForFinished(60000));
            const QByteArray output = next->readAll();
            QVERIFY2(output.contains("scene-loaded"), output.constData());
            QCOMPARE(next->exitCode(), 0);
        } else {
            QCOMPARE(run->exitStatus(), QProcess::NormalExit);
            QCOMPARE(run->exitCode(), 0);
        }
        QCOMPARE(linkLocal(), QStringList());
        QCOMPARE(recorded(), QString());
        QCOMPARE(CNetnsFixture::addresses("ardm0"), QStringList{"10.77.0.2/24"});
    }

    // Without CAP_NET_ADMIN the add is refused; the program says so and goes on.
    void withoutNetAdminTheProgramGoesOn()
    {
        if (QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("setpriv (util-linux) is not installed");
        auto run = start(writeScene("unprivileged.qml", true, true),
                         {"setpriv", "--inh-caps=-net_admin", "--bounding-set=-net_admin"});
        QVERIFY(run->waitForFinished(60000));
        const QByteArray output = run->readAll();
        QVERIFY2(output.contains("alias-failed"), output.constData());
        QVERIFY2(output.contains("alias-finished"), output.constData());
        QCOMPARE(run->exitCode(), 0);
        QCOMPARE(linkLocal(), QStringList());
        QCOMPARE(recorded(), QString());
    }
};

QTEST_GUILESS_MAIN(TestAliasProcess)
#include "tst_aliasprocess.moc"
