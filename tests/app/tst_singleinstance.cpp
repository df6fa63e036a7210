#include "CSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// The guard in one process: flock() conflicts between two open files even in the same process,
// so two objects behave like two copies of the program.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_savedRuntime;

    QString privateFolder(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        ::chmod(QFile::encodeName(path).constData(), 0700);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    }

    void cleanup() { qputenv("XDG_RUNTIME_DIR", m_savedRuntime); }

    void secondHolderRefusedUntilTheFirstEnds()
    {
        qputenv("XDG_RUNTIME_DIR", privateFolder("runtime").toLocal8Bit());
        auto first = std::make_unique<CSingleInstance>("Ardmere_SINGLE_APP_CHECKER");
        QVERIFY(first->acquire());
        CSingleInstance second("Ardmere_SINGLE_APP_CHECKER");
        QVERIFY(!second.acquire());
        CSingleInstance otherKey("Another_Key");
        QVERIFY(otherKey.acquire());
        first.reset();
        QVERIFY(second.acquire());
    }

    // A program the user opened from this one (a browser for a device page) lives on after it;
    // it must not keep the lock.
    void childProcessDoesNotInheritTheLock()
    {
        qputenv("XDG_RUNTIME_DIR", privateFolder("runtime-child").toLocal8Bit());
        auto holder = std::make_unique<CSingleInstance>("Ardmere_SINGLE_APP_CHECKER");
        QVERIFY(holder->acquire());
        QProcess child;
        child.start("sleep", {"30"});
        QVERIFY(child.waitForStarted());
        holder.reset();
        CSingleInstance next("Ardmere_SINGLE_APP_CHECKER");
        const bool acquired = next.acquire();
        child.kill();
        child.waitForFinished();
        QVERIFY(acquired);
    }

    void runtimeFolderQualifies_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("used");
        QTest::newRow("private folder") << "private" << true;
        QTest::newRow("writable by the group") << "group-writable" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("symbolic link") << "symlink" << false;
        QTest::newRow("owned by another user") << "foreign" << false;
    }

    // Only a folder nobody else can write to may hold the lock: anyone who can replace the file
    // could let a second copy start or lock the user out.
    void runtimeFolderQualifies()
    {
        QFETCH(QString, kind);
        QFETCH(bool, used);
        QString path = privateFolder("candidate-" + kind);
        const QByteArray native = QFile::encodeName(path);
        if (kind == "group-writable") {
            ::chmod(native.constData(), 0770);
        } else if (kind == "missing") {
            QVERIFY(QDir(path).removeRecursively());
        } else if (kind == "symlink") {
            const QString link = m_dir.filePath("link-to-private");
            QVERIFY(QFile::link(path, link));
            path = link;
        } else if (kind == "foreign") {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QVERIFY(::chown(native.constData(), 65534, 65534) == 0);
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
        QCOMPARE(CSingleInstance::lockDirectory() == path, used);
        QVERIFY(!CSingleInstance::lockDirectory().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
