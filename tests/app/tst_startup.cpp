#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Starts the real program, each run from its own copy in a private folder so that its settings
// file, the scenes it loads and its single-instance lock belong to the test alone.
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;
    QString m_runtime;

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

    std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& tmp = QString())
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
        // The installed device pack lives in the temporary directory: a private one keeps a pack
        // installed by a real run on this machine out of the test.
        env.insert("TMPDIR", tmp.isEmpty() ? m_dir.path() : tmp);
        env.insert("XDG_RUNTIME_DIR", m_runtime);
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
        m_runtime = m_dir.filePath("runtime");
        QVERIFY(QDir().mkdir(m_runtime));
        QVERIFY(QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadUser |
                                                     QFile::WriteUser | QFile::ExeUser));
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

    // The temporary folder is no part of the instance's identity: a shell with another TMPDIR
    // must not get the user a second copy.
    void secondInstanceWithOtherTemporaryFolderIsRefused()
    {
        QTemporaryDir otherTmp;
        QVERIFY(otherTmp.isValid());
        auto first = start({writeScene("stay3.qml", false)});
        QByteArray seen;
        QVERIFY2(waitForOutput(first.get(), "scene-loaded", &seen), seen.constData());

        auto second = start({writeScene("quit5.qml", true)}, otherTmp.path());
        QVERIFY(second->waitForFinished(30000));
        const QByteArray output = second->readAll();
        QCOMPARE(second->exitCode(), 1);
        QVERIFY2(output.contains("Please close the Corvane before starting."), output.constData());

        first->kill();
        QVERIFY(first->waitForFinished(30000));
    }

    void restartRightAfterExit_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("closed") << "closed";
        QTest::newRow("killed") << "killed";
        // SIGTERM ends the event loop, so the run tears down in order and exits normally.
        QTest::newRow("terminated") << "terminated";
    }

    // Start after start, each right after the previous copy ended, each with a temporary folder
    // of its own that is removed afterwards, as a test harness does. Nothing a run leaves behind,
    // and no file-system detail such as a reused inode number, may refuse the next start.
    void restartRightAfterExit()
    {
        QFETCH(QString, ending);
        const bool closes = ending == "closed";
        const QString scene = writeScene("cycle-" + ending + ".qml", closes);
        for (int cycle = 0; cycle < 12; ++cycle) {
            QTemporaryDir tmp(m_dir.filePath("cycle-XXXXXX"));
            QVERIFY(tmp.isValid());
            auto process = start({scene}, tmp.path());
            QByteArray seen;
            QVERIFY2(waitForOutput(process.get(), "scene-loaded", &seen),
                     qPrintable(QString("cycle %1: %2").arg(cycle).arg(QString(seen))));
            if (ending == "killed")
                process->kill();
            else if (ending == "terminated")
                process->terminate();
            QVERIFY(process->waitForFinished(30000));
            if (ending != "killed") {
                QCOMPARE(process->exitStatus(), QProcess::NormalExit);
                QCOMPARE(process->exitCode(), 0);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
