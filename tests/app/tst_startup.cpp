#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Starts the real program, each run from its own copy in a private folder so that its settings
// file and the scenes it loads belong to the test alone.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    // A scene that reports what start-up published and, if asked, quits at once.
    QString writeScene(const QString& name, bool quit)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write("import QtQuick 2.15\n"
                   "import QtQuick.Window 2.15\n"
                   "Window {\n"
                   "  width: 200; height: 100\n"
                   "  Component.onCompleted: {\n"
                   "    console.log('scene-loaded ' + typeof deviceListModel + ' '\n"
                   "                + typeof mainPageDeviceListCtrl + ' ' + typeof systemCtrl\n"
                   "                + ' [' + strDevicePackVersion + ']');\n");
        if (quit)
            file.write("    Qt.callLater(Qt.quit);\n");
        file.write("  }\n}\n");
        return path;
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
        // The installed device pack lives in the temporary directory: a private one keeps a pack
        // installed by a real run on this machine out of the test.
        env.insert("TMPDIR", m_dir.path());
        process->setProcessEnvironment(env);
        process->start(m_program, arguments);
        return process;
    }

    static bool waitForOutput(QProcess* process, const QByteArray& text, QByteArray* seen)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            process->waitForReadyRead(200);
            *seen += process->readAll();
            if (seen->contains(text))
                return true;
            if (process->state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_program = m_dir.filePath("ardmere");
        QVERIFY(QFile::copy(ARDMERE_BINARY, m_program));
        QVERIFY(QFile::setPermissions(m_program, QFile::permissions(ARDMERE_BINARY)));
    }

    void sceneArgumentReplacesMainWindow()
    {
        const QString scene = writeScene("quit.qml", true);
        auto process = start({scene});
        QVERIFY(process->waitForFinished(30000));
        const QByteArray output = process->readAll();
        QVERIFY2(output.contains("scene-loaded object object object []"), output.constData());
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    void sceneArgumentAsUrl()
    {
        const QString scene = writeScene("quit-url.qml", true);
        auto process = start({QUrl::fromLocalFile(scene).toString()});
        QVERIFY(process->waitForFinished(30000));
        QVERIFY(process->readAll().contains("scene-loaded"));
        QCOMPARE(process->exitCode(), 0);
    }

    void unloadableSceneEndsTheProgram()
    {
        auto process = start({m_dir.filePath("missing.qml")});
        QVERIFY(process->waitForFinished(30000));
        QVERIFY(process->exitCode() != 0);
    }

    void secondInstanceIsRefused()
    {
        auto first = start({writeScene("stay.qml", false)});
        QByteArray seen;
        QVERIFY2(waitForOutput(first.get(), "scene-loaded", &seen), seen.constData());

        auto second = start({writeScene("quit2.qml", true)});
        QVERIFY(second->waitForFinished(30000));
        const QByteArray output = second->readAll();
        QCOMPARE(second->exitCode(), 1);
        QVERIFY2(output.contains("Please close the Corvane before starting."), output.constData());
        QVERIFY2(!output.contains("scene-loaded"), output.constData());

        first->terminate();
        QVERIFY(first->waitForFinished(30000));
    }

    // A killed run leaves its shared-memory segment behind on Linux; that must not lock the user
    // out of the next start.
    void startAfterKillSucceeds()
    {
        auto first = start({writeScene("stay2.qml", false)});
        QByteArray seen;
        QVERIFY2(waitForOutput(first.get(), "scene-loaded", &seen), seen.constData());
        first->kill();
        QVERIFY(first->waitForFinished(30000));
        QCOMPARE(first->exitStatus(), QProcess::CrashExit);

        auto next = start({writeScene("quit3.qml", true)});
        QVERIFY(next->waitForFinished(30000));
        const QByteArray output = next->readAll();
        QVERIFY2(output.contains("scene-loaded"), output.constData());
        QCOMPARE(next->exitCode(), 0);

        // And that start left nothing behind either.
        QSharedMemory probe("Ardmere_SINGLE_APP_CHECKER");
        if (probe.attach())
            probe.detach();
        auto last = start({writeScene("quit4.qml", true)});
        QVERIFY(last->waitForFinished(30000));
        QCOMPARE(last->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
