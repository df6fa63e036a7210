#include "CDevicePack.h"
#include "PackFixture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray table(const QByteArray& rows)
{
    return "Version=1.0.0,ignored\nUID,Read,Write,Value,Param\n" + rows;
}

// Counts the files the pack opens, to show when a table is (not) read again.
class CCountingPack : public CDevicePack
{
public:
    mutable QStringList opened;

protected:
    std::unique_ptr<CCsvParser> CreateCsvParser(const QString& path,
                                                const char* codecName) const override
    {
        opened << QFileInfo(path).fileName();
        return CDevicePack::CreateCsvParser(path, codecName);
    }
};

QStringList values(const QVector<UidOption>& options)
{
    QStringList list;
    for (const UidOption& o : options)
        list << o.first + "=>" + o.second;
    return list;
}

} // namespace

class TestDevicePack : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadRejects_data();
    void loadRejects();
    void rowsAndPairs();
    void modelFileChoice_data();
    void modelFileChoice();
    void familyTableIsNotReadTwice();
    void modelReplacesBaseEntryWhole();
    void secondModelDropsFirst();
    void failedModelLoadKeepsState();
    void customizeSettings();

private:
    QTemporaryDir m_dir;
    QString csvDir() const { return m_dir.filePath("csv"); }
    void write(const QString& name, const QByteArray& content)
    {
        QVERIFY(PackFixture::writeFile(QDir(csvDir()).filePath(name), content));
    }
};

void TestDevicePack::init()
{
    QDir(csvDir()).removeRecursively();
    QVERIFY(QDir().mkpath(csvDir()));
    write("base.csv", table("uid_a,/get,/set,1,a=1,0,a=0\n"
                            "uid_shared,/get,/set,x,s=base\n"
                            "uid_only_base,/get,/set,%s,ob=%s\n"));
}

void TestDevicePack::loadRejects_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QString>("message");
    QTest::newRow("no base.csv") << QByteArray() << QString();
    QTest::newRow("empty file") << QByteArray("")
                                << "Open device pack csv file error: first line is null. ";
    QTest::newRow("first line without Version=")
        << QByteArray("version=1\nh\n")
        << "Open device pack csv file error: first line is invalid. ";
    QTest::newRow("Version= not first field")
        << QByteArray("x,Version=1\nh\n")
        << "Open device pack csv file error: first line is invalid. ";
    QTest::newRow("no heading line")
        << QByteArray("Version=1") << "Open device pack csv file error: second line is null. ";
}

void TestDevicePack::loadRejects()
{
    QFETCH(QByteArray, base);
    QFETCH(QString, message);
    const QString path = QDir(csvDir()).filePath("base.csv");
    QFile::remove(path);
    if (!base.isNull())
        write("base.csv", base);
    if (!message.isEmpty()) {
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message + path));
        QTest::ignoreMessage(QtDebugMsg, "CDevicePack::Load fail to read base.csv");
    }
    CDevicePack pack;
    QVERIFY(!pack.Load(csvDir()));
    QCOMPARE(pack.CurrentModel(), QString(""));
    QVERIFY(!pack.IsBaseOnly());
    QVERIFY(!pack.ContainsUid("uid_a"));
    QVERIFY(!pack.Load(m_dir.filePath("missing")));
}

void TestDevicePack::rowsAndPairs()
{
    write("base.csv", table("uid_short,/only-two\n"
                            "uid_nopairs,/g,/s\n"
                            "uid_odd,/g,/s,1,p=1,dangling\n"
                            "uid_dup,/g1,/s1,a,x=a\n"
                            "\"uid_q\",/g,/s,\"1,2\",\"q=1,2\"\n"
                            "uid_dup,/g2,/s2,b,x=b\n"));
    CDevicePack pack;
    QVERIFY(pack.Load(csvDir()));
    QCOMPARE(pack.CurrentModel(), QString("base"));
    QVERIFY(pack.IsBaseOnly());
    QVERIFY(!pack.ContainsUid("uid_short"));
    QVERIFY(pack.ContainsUid("uid_nopairs"));
    QVERIFY(pack.GetOptions("uid_nopairs").isEmpty());
    QCOMPARE(values(pack.GetOptions("uid_odd")), QStringList{"1=>p=1"});
    QCOMPARE(values(pack.GetOptions("uid_q")), QStringList{"1,2=>q=1,2"});
    // A UID on two rows keeps the last paths and the options of both rows.
    QCOMPARE(values(pack.GetOptions("uid_dup")), (QStringList{"a=>x=a", "b=>x=b"}));
    QCOMPARE(pack.GetReadPath("uid_dup"), QString("/g2"));
    QCOMPARE(pack.GetWritePath("uid_dup"), QString("/s2"));
    QVERIFY(pack.GetOptions("uid_missing").isEmpty());
    QVERIFY(pack.GetReadPath("uid_missing").isEmpty());
}

void TestDevicePack::modelFileChoice_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("key");

    QTest::newRow("exact model file")
        << QStringList{"ABCDEF-123.csv", "ABCDEF.csv"} << "ABCDEF-123" << true << "ABCDEF-123";
    QTest::newRow("family fallback")
        << QStringList{"ABCDEF.csv"} << "ABCDEF-123" << true << "ABCDEF";
    QTest::newRow("short model name") << QStringList{"QD81.csv"} << "QD81" << true << "QD81";
    QTest::newRow("no table") << QStringList{"QB9365.csv"} << "QD8182" << false << "base";
    QTest::newRow("base refused") << QStringList{} << "base" << false << "base";
    QTest::newRow("path outside the pack") << QStringList{} << "../csv/base" << false << "base";
    QTest::newRow("absolute path") << QStringList{} << csvDir() + "/QD8182" << false << "base";
}

void TestDevicePack::modelFileChoice()
{
    QFETCH(QStringList, files);
    QFETCH(QString, model);
    QFETCH(bool, loaded);
    QFETCH(QString, key);
    for (const QString& f : files)
        write(f, table("uid_m,/g,/s,v,from=" + f.toUtf8() + "\n"));
    write("QD8182.csv.bak", table("uid_m,/g,/s,v,from=bak\n"));
    PackFixture::writeFile(m_dir.filePath("outside.csv"), table("uid_m,/g,/s,v,from=outside\n"));

    CDevicePack pack;
    QVERIFY(pack.Load(csvDir()));
    if (model == "base")
        QTest::ignoreMessage(QtDebugMsg, "CDevicePack::LoadModel cannot load base.csv");
    else if (!loaded)
        QTest::ignoreMessage(
            QtDebugMsg, qPrintable("CDevicePack::LoadModel: Cannot find model csv file: " + model));
    QCOMPARE(pack.LoadModel(model), loaded);
    QCOMPARE(pack.CurrentModel(), key);
    if (loaded)
        QCOMPARE(values(pack.GetOptions("uid_m")), QStringList{"v=>from=" + key + ".csv"});
    else
        QVERIFY(!pack.ContainsUid("uid_m"));
}

void TestDevicePack::familyTableIsNotReadTwice()
{
    write("ABCDEF.csv", table("uid_m,/g,/s,v,m=1\n"));
    CCountingPack pack;
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.LoadModel("ABCDEF-123"));
    QVERIFY(pack.LoadModel("ABCDEF-456"));
    QCOMPARE(pack.CurrentModel(), QString("ABCDEF"));
    QCOMPARE(pack.opened, (QStringList{"base.csv", "ABCDEF.csv"}));
}

void TestDevicePack::modelReplacesBaseEntryWhole()
{
    write("QD8182.csv", table("uid_shared,/mget,/mset,y,s=model\n"));
    CDevicePack pack;
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.LoadModel("QD8182"));
    QCOMPARE(values(pack.GetOptions("uid_shared")), QStringList{"y=>s=model"});
    QCOMPARE(pack.GetReadPath("uid_shared"), QString("/mget"));
    QCOMPARE(values(pack.GetOptions("uid_only_base")), QStringList{"%s=>ob=%s"});

    // A copy loads its own model and leaves the original alone.
    CDevicePack copy = pack;
    copy.RemoveCurrentModel();
    QCOMPARE(values(copy.GetOptions("uid_shared")), QStringList{"x=>s=base"});
    QCOMPARE(values(pack.GetOptions("uid_shared")), QStringList{"y=>s=model"});
}

void TestDevicePack::secondModelDropsFirst()
{
    write("QD8182.csv", table("uid_first,/g,/s,1,f=1\n"));
    write("QB9365.csv", table("uid_second,/g,/s,1,s=1\n"));
    CDevicePack pack;
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.LoadModel("QD8182"));
    QVERIFY(pack.ContainsUid("uid_first"));
    QVERIFY(pack.LoadModel("QB9365"));
    QVERIFY(!pack.ContainsUid("uid_first"));
    QVERIFY(pack.ContainsUid("uid_second"));
    QVERIFY(pack.ContainsUid("uid_a"));
    pack.RemoveCurrentModel();
    QVERIFY(!pack.ContainsUid("uid_second"));
    QCOMPARE(pack.CurrentModel(), QString("base"));
}

void TestDevicePack::failedModelLoadKeepsState()
{
    write("QD8182.csv", table("uid_first,/g,/s,1,f=1\n"));
    write("QF8360.csv", "broken first line\n");
    CDevicePack pack;
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.LoadModel("QD8182"));
    const QString bad = QDir(csvDir()).filePath("QF8360.csv");
    QTest::ignoreMessage(
        QtDebugMsg, qPrintable("Open device pack csv file error: first line is invalid. " + bad));
    QTest::ignoreMessage(QtDebugMsg, qPrintable("CDevicePack::LoadModel: fail to read " + bad));
    QVERIFY(!pack.LoadModel("QF8360"));
    QCOMPARE(pack.CurrentModel(), QString("QD8182"));
    QVERIFY(pack.ContainsUid("uid_first"));

    CDevicePack empty;
    QTest::ignoreMessage(QtDebugMsg,
                         "CDevicePack::LoadModel: Cannot open the device pack directory");
    QVERIFY(!empty.LoadModel("QD8182"));
}

void TestDevicePack::customizeSettings()
{
    QTemporaryDir appDir;
    QVERIFY(PackFixture::writeFile(appDir.filePath("customizeCameraSettings.csv"),
                                   "uid_custom_a,/g,/s,custom_a=%s\n"
                                   "uid_three,/g,/s\n"
                                   "uid_custom_b,/g2,/s2,custom_b=%s,extra\n"
                                   "uid_a,/g3,/s3,a=%s\n"));
    CDevicePack pack;
    QVERIFY(!pack.LoadCustomizeSettings(m_dir.filePath("nothing-here")));
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.LoadCustomizeSettings(appDir.path()));
    QCOMPARE(pack.CustomizeUids(), (QStringList{"uid_custom_a", "uid_custom_b", "uid_a"}));
    QVERIFY(!pack.ContainsUid("uid_three"));
    QCOMPARE(values(pack.GetOptions("uid_custom_a")), QStringList{"%s=>custom_a=%s"});
    QCOMPARE(pack.GetWritePath("uid_custom_b"), QString("/s2"));
    // A customize row adds its option to a UID the base table already has.
    QCOMPARE(values(pack.GetOptions("uid_a")), (QStringList{"1=>a=1", "0=>a=0", "%s=>a=%s"}));

    // They live in the base table: a model load keeps them, a new Load forgets them.
    write("QD8182.csv", table("uid_m,/g,/s,1,m=1\n"));
    QVERIFY(pack.LoadModel("QD8182"));
    QVERIFY(pack.ContainsUid("uid_custom_a"));
    QCOMPARE(pack.CustomizeUids().size(), 3);
    QVERIFY(pack.Load(csvDir()));
    QVERIFY(pack.CustomizeUids().isEmpty());
    QVERIFY(!pack.ContainsUid("uid_custom_a"));
}

QTEST_GUILESS_MAIN(TestDevicePack)
#include "tst_devicepack.moc"
