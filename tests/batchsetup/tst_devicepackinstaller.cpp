#include "CDevicePackInstaller.h"
#include "DecompressDevicePack.h"
#include "DecryptDevicePack.h"
#include "PackFixture.h"

#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QtTest>

using namespace PackFixture;
using Version = CDevicePackInstaller::Version;
Q_DECLARE_METATYPE(Version)
Q_DECLARE_METATYPE(PackFixture::ArchiveFormat)
Q_DECLARE_METATYPE(PackFixture::ArchiveEntry)

namespace {

QString workFile(const CDevicePackInstaller& installer, const QString& name)
{
    return installer.workDirectory() + "/" + name;
}

// Every file below dir, relative to it, sorted.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class TestDevicePackInstaller : public QObject
{
    Q_OBJECT

private slots:
    void decryptAndUnpack_data();
    void decryptAndUnpack();
    void decryptRejects_data();
    void decryptRejects();
    void unsafeArchivesWriteNothingOutside_data();
    void unsafeArchivesWriteNothingOutside();
    void unpackCreatesOneLevelOnly();
    void versionOfFileName_data();
    void versionOfFileName();
    void chooseDevicePack_data();
    void chooseDevicePack();
    void prepare_data();
    void prepare();
    void registerResource();
};

void TestDevicePackInstaller::decryptAndUnpack_data()
{
    QTest::addColumn<ArchiveFormat>("format");
    QTest::addColumn<bool>("scrambleMagic");
    QTest::newRow("tar.gz") << ArchiveFormat::TarGz << false;
    QTest::newRow("zip") << ArchiveFormat::Zip << false;
    QTest::newRow("first eight bytes not checked") << ArchiveFormat::TarGz << true;
}

void TestDevicePackInstaller::decryptAndUnpack()
{
    QFETCH(ArchiveFormat, format);
    QFETCH(bool, scrambleMagic);
    QTemporaryDir dir;
    const QString vdp = dir.filePath("pack-1.0.0.vdp");
    QVERIFY(makeVdp(vdp, format, packEntries("1.0.0")));
    QCOMPARE(readFile(vdp).left(8), QByteArray("Salted__"));
    if (scrambleMagic) {
        QByteArray bytes = readFile(vdp);
        bytes.replace(0, 8, "ABCDEFGH");
        QVERIFY(writeFile(vdp, bytes));
    }

    const QString archive = dir.filePath("device_pack_tmp");
    QVERIFY(DecryptDevicePack(vdp, archive));
    const QString cwd = QDir::currentPath();
    QVERIFY(DecompressDevicePack(archive, dir.filePath("work")));
    QCOMPARE(QDir::currentPath(), cwd);
    QCOMPARE(filesBelow(dir.filePath("work")),
             (QStringList{"csv/base.csv", "manifest", "qml/DevicePack.rcc"}));
    QVERIFY(readFile(dir.filePath("work/csv/base.csv")).startsWith("Version=1.0.0"));
}

void TestDevicePackInstaller::decryptRejects_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("shorter than the header") << "10 bytes";
    QTest::newRow("header only, 16 bytes") << "16 bytes";
    QTest::newRow("truncated mid-block") << "truncate 5";
    QTest::newRow("truncated at a block edge") << "truncate 16";
    // The byte that decrypts into the last padding byte: any change there breaks the padding. A
    // change inside the last block itself would give random padding, valid one time in 256.
    QTest::newRow("padding damaged") << "flip padding";
}

void TestDevicePackInstaller::decryptRejects()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    const QString vdp = dir.filePath("pack-1.0.0.vdp");
    QVERIFY(makeVdp(vdp, ArchiveFormat::TarGz, packEntries("1.0.0")));
    QByteArray bytes = readFile(vdp);
    if (damage == "missing")
        QFile::remove(vdp);
    else if (damage == "10 bytes")
        bytes = bytes.left(10);
    else if (damage == "16 bytes")
        bytes = bytes.left(16);
    else if (damage.startsWith("truncate"))
        bytes.chop(damage.section(' ', 1).toInt());
    else
        bytes[bytes.size() - 17] = char(bytes.at(bytes.size() - 17) ^ 0x5a);
    if (damage != "missing")
        QVERIFY(writeFile(vdp, bytes));

    const QString target = dir.filePath("device_pack_tmp");
    QVERIFY(!DecryptDevicePack(vdp, target));
    QVERIFY(!QFile::exists(target));
}

void TestDevicePackInstaller::unsafeArchivesWriteNothingOutside_data()
{
    QTest::addColumn<ArchiveFormat>("format");
    QTest::addColumn<QVector<ArchiveEntry>>("entries");

    // "@" stands for the test's own directory that holds the target directory.
    const ArchiveEntry good{"manifest", "{}", ArchiveEntry::File, {}};
    for (ArchiveFormat format : {ArchiveFormat::TarGz, ArchiveFormat::Zip}) {
        const char* f = format == ArchiveFormat::TarGz ? "tar.gz" : "zip";
        QTest::addRow("%s: dot-dot", f)
            << format << QVector<ArchiveEntry>{good, {"../evil", "x", ArchiveEntry::File, {}}};
        QTest::addRow("%s: dot-dot inside the path", f)
            << format
            << QVector<ArchiveEntry>{good, {"csv/../../evil", "x", ArchiveEntry::File, {}}};
        QTest::addRow("%s: absolute path", f)
            << format << QVector<ArchiveEntry>{good, {"@/evil", "x", ArchiveEntry::File, {}}};
    }
    QTest::newRow("tar.gz: symlink out, then a file through it")
        << ArchiveFormat::TarGz
        << QVector<ArchiveEntry>{good,
                                 {"out", {}, ArchiveEntry::Symlink, "@"},
                                 {"out/evil", "x", ArchiveEntry::File, {}}};
    QTest::newRow("tar.gz: relative symlink out")
        << ArchiveFormat::TarGz
        << QVector<ArchiveEntry>{good,
                                 {"out", {}, ArchiveEntry::Symlink, ".."},
                                 {"out/evil", "x", ArchiveEntry::File, {}}};
    QTest::newRow("tar.gz: hard link to a file outside")
        << ArchiveFormat::TarGz
        << QVector<ArchiveEntry>{good, {"victim", {}, ArchiveEntry::Hardlink, "../victim"}};
    QTest::newRow("tar.gz: hard link to an absolute path")
        << ArchiveFormat::TarGz
        << QVector<ArchiveEntry>{good, {"victim", {}, ArchiveEntry::Hardlink, "@/victim"}};
}

void TestDevicePackInstaller::unsafeArchivesWriteNothingOutside()
{
    QFETCH(ArchiveFormat, format);
    QFETCH(QVector<ArchiveEntry>, entries);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("victim"), "original"));
    for (ArchiveEntry& e : entries) {
        e.name.replace("@", dir.path());
        e.linkTarget.replace("@", dir.path());
    }
    const QString archive = dir.filePath("device_pack_tmp");
    QVERIFY(writeArchive(archive, format, entries));
    const QStringList before = filesBelow(dir.path());

    const QString cwd = QDir::currentPath();
    QVERIFY(!DecompressDevicePack(archive, dir.filePath("work")));
    QCOMPARE(QDir::currentPath(), cwd);
    QStringList after = filesBelow(dir.path());
    after.removeAll("work/manifest");
    QCOMPARE(after, before);
    QCOMPARE(readFile(dir.filePath("victim")), QByteArray("original"));
    QVERIFY(!QFileInfo::exists(dir.filePath("evil")));
}

void TestDevicePackInstaller::unpackCreatesOneLevelOnly()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath("a.tgz");
    QVERIFY(writeArchive(archive, ArchiveFormat::TarGz, packEntries("1.0.0")));
    QVERIFY(!DecompressDevicePack(archive, dir.filePath("missing/work")));
    QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    QVERIFY(!DecompressDevicePack(dir.filePath("no-such-archive"), dir.filePath("work")));
    QVERIFY(DecompressDevicePack(archive, dir.filePath("work")));
    QVERIFY(QFileInfo::exists(dir.filePath("work/csv/base.csv")));
}

void TestDevicePackInstaller::versionOfFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Version>("version");
    QTest::newRow("plain") << "pack-1.2.3.vdp" << Version{1, 2, 3};
    QTest::newRow("numbers, not text") << "pack-1.10.0.vdp" << Version{1, 10, 0};
    QTest::newRow("with directory") << "/a-9.9.9/pack-2.0.1.vdp" << Version{2, 0, 1};
    QTest::newRow("two numbers") << "pack-1.2.vdp" << Version{0, 0, 0};
    QTest::newRow("fourth number ignored") << "pack-1.2.3.4.vdp" << Version{1, 2, 3};
    QTest::newRow("piece not a number") << "pack-x.2.3.vdp" << Version{0, 2, 3};
    QTest::newRow("second dash") << "my-pack-1.2.3.vdp" << Version{0, 2, 3};
    QTest::newRow("no dash") << "pack.vdp" << Version{0, 0, 0};
}

void TestDevicePackInstaller::versionOfFileName()
{
    QFETCH(QString, name);
    QFETCH(Version, version);
    QCOMPARE(CDevicePackInstaller::versionOfFileName(name), version);
}

void TestDevicePackInstaller::chooseDevicePack_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("none") << QStringList{} << QString();
    QTest::newRow("single file whatever its version") << QStringList{"pack.vdp"} << "pack.vdp";
    QTest::newRow("integer comparison")
        << QStringList{"pack-1.10.0.vdp", "pack-1.2.3.vdp"} << "pack-1.10.0.vdp";
    QTest::newRow("tie keeps the earlier")
        << QStringList{"a-1.0.0.vdp", "b-1.0.0.vdp"} << "a-1.0.0.vdp";
    QTest::newRow("0.0.0 never chosen from several")
        << QStringList{"a-1.2.vdp", "b-0.0.0.vdp"} << QString();
    QTest::newRow("patch decides")
        << QStringList{"a-2.0.1.vdp", "b-2.0.10.vdp", "c-2.0.9.vdp"} << "b-2.0.10.vdp";
}

void TestDevicePackInstaller::chooseDevicePack()
{
    QFETCH(QStringList, files);
    QFETCH(QString, chosen);
    QCOMPARE(CDevicePackInstaller::chooseDevicePack(files), chosen);
}

void TestDevicePackInstaller::prepare_data()
{
    QTest::addColumn<QString>("installed"); // version of the pack already in place, or empty
    QTest::addColumn<QStringList>("files"); // name:kind, kind good, truncated, evil or junk
    QTest::addColumn<QString>("expected");  // version afterwards
    QTest::addColumn<bool>("replaced");     // the old pack's files are gone

    QTest::newRow("nothing anywhere") << "" << QStringList{} << "" << false;
    QTest::newRow("first install") << "" << QStringList{"pack-1.0.0.vdp:good"} << "1.0.0" << false;
    QTest::newRow("newer replaces")
        << "1.0.0" << QStringList{"pack-1.1.0.vdp:good"} << "1.1.0" << true;
    QTest::newRow("same version is not unpacked")
        << "1.0.0" << QStringList{"pack-1.0.0.vdp:good"} << "1.0.0" << false;
    QTest::newRow("older is ignored")
        << "2.0.0" << QStringList{"pack-1.5.0.vdp:good"} << "2.0.0" << false;
    QTest::newRow("two-number name never replaces")
        << "0.0.1" << QStringList{"pack-3.1.vdp:good"} << "0.0.1" << false;
    QTest::newRow("newest of several")
        << "1.0.0" << QStringList{"pack-1.2.3.vdp:good", "pack-1.10.0.vdp:good", "x.txt:junk"}
        << "1.10.0" << true;
    QTest::newRow("truncated pack keeps the old one")
        << "1.0.0" << QStringList{"pack-2.0.0.vdp:truncated"} << "1.0.0" << false;
    QTest::newRow("garbage pack keeps the old one")
        << "1.0.0" << QStringList{"pack-2.0.0.vdp:junk"} << "1.0.0" << false;
    QTest::newRow("unsafe pack keeps the old one")
        << "1.0.0" << QStringList{"pack-2.0.0.vdp:evil"} << "1.0.0" << false;
}

void TestDevicePackInstaller::prepare()
{
    QFETCH(QString, installed);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    QFETCH(bool, replaced);

    QTemporaryDir appDir;
    QTemporaryDir tempDir;
    const CDevicePackInstaller installer(appDir.path(), tempDir.path());
    QVERIFY(installer.workDirectory().startsWith(tempDir.path()));
    if (!installed.isEmpty()) {
        QVERIFY(writeFile(workFile(installer, "manifest"),
                          "{\"version\": \"" + installed.toUtf8() + "\"}"));
        QVERIFY(writeFile(workFile(installer, "csv/old-only.csv"), "old"));
    }
    for (const QString& spec : files) {
        const QString name = spec.section(':', 0, 0);
        const QString kind = spec.section(':', 1);
        const QString path = appDir.filePath(name);
        const Version v = CDevicePackInstaller::versionOfFileName(name);
        const QString version = QStringLiteral("%1.%2.%3").arg(v[0]).arg(v[1]).arg(v[2]);
        QVector<ArchiveEntry> entries = packEntries(version);
        if (kind == "evil")
            entries.append({"../evil", "x", ArchiveEntry::File, {}});
        if (kind == "junk") {
            QVERIFY(writeFile(path, QByteArray(4000, 'j')));
            continue;
        }
        QVERIFY(makeVdp(path, ArchiveFormat::TarGz, entries));
        if (kind == "truncated") {
            QByteArray bytes = readFile(path);
            bytes.chop(bytes.size() / 3);
            QVERIFY(writeFile(path, bytes));
        }
    }

    const QString cwd = QDir::currentPath();
    QCOMPARE(installer.prepareDevicePack(), expected);
    QCOMPARE(installer.installedVersion(), expected);
    QCOMPARE(QDir::currentPath(), cwd);
    if (!installed.isEmpty())
        QCOMPARE(!QFileInfo::exists(workFile(installer, "csv/old-only.csv")), replaced);
    if (expected != installed && !expected.isEmpty())
        QVERIFY(QFileInfo::exists(workFile(installer, "csv/base.csv")));
    // Nothing is left beside the work directory, and nothing escaped it.
    QStringList left = QDir(tempDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.removeAll("device_pack_tmp");
    left.removeAll("Ardmere_devicepack_tmp");
    QCOMPARE(left, QStringList());
}

void TestDevicePackInstaller::registerResource()
{
    QTemporaryDir appDir;
    QTemporaryDir tempDir;
    const CDevicePackInstaller installer(appDir.path(), tempDir.path());
    QTest::ignoreMessage(QtDebugMsg, "Cannot register DevicePack.rcc");
    QVERIFY(!installer.registerResource());

    // A real resource file made by rcc makes the per-model scripts reachable.
    QVERIFY(writeFile(tempDir.filePath("src/js/DevicePack/QD8182.js"), "var model = 1;\n"));
    QVERIFY(writeFile(tempDir.filePath("src/pack.qrc"),
                      "<RCC><qresource prefix=\"/\"><file>js/DevicePack/QD8182.js</file>"
                      "</qresource></RCC>\n"));
    QDir().mkpath(installer.workDirectory() + "/qml");
    QProcess rcc;
    rcc.start(ARDMERE_RCC,
              {"-binary", tempDir.filePath("src/pack.qrc"), "-o", installer.resourcePath()});
    QVERIFY(rcc.waitForFinished(30000));
    QCOMPARE(rcc.exitCode(), 0);
    QVERIFY(installer.registerResource());
    QFile script(":/js/DevicePack/QD8182.js");
    QVERIFY(script.open(QIODevice::ReadOnly));
    QCOMPARE(script.readAll(), QByteArray("var model = 1;\n"));
    script.close();
}

QTEST_GUILESS_MAIN(TestDevicePackInstaller)
#include "tst_devicepackinstaller.moc"
