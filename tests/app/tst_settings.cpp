#include "Settings.h"

#include <QFile>
#include <QTest>

// The settings file lives beside the test executable, as it does beside the program.
class TestSettings : public QObject
{
    Q_OBJECT

private:
    void writeFile(const QByteArray& content)
    {
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

private slots:
    void cleanup() { QFile::remove(settingsFilePath()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QVariant>("expected");

        const QByteArray onlySearchTime = "[General]\nsearchTimeMs=3000\n";
        QTest::newRow("no file gives the default")
            << QByteArray() << "searchTimeMs" << QVariant(5000) << QVariant(5000);
        QTest::newRow("set key") << onlySearchTime << "searchTimeMs" << QVariant(5000)
                                 << QVariant(3000);
        QTest::newRow("other keys stay at their defaults")
            << onlySearchTime << "authorizeTimeoutMs" << QVariant(30000) << QVariant(30000);
        QTest::newRow("bool default survives")
            << onlySearchTime << "transparentWindow" << QVariant(true) << QVariant(true);
        QTest::newRow("key in another case") << QByteArray("[General]\nSEARCHTIMEMS=1234\n")
                                             << "searchTimeMs" << QVariant(5000) << QVariant(1234);
        const QByteArray upperLog = "[General]\nLOGHTTPRESPONSE=true\n";
        QTest::newRow("log key, first client's spelling")
            << upperLog << "logHTTPResponse" << QVariant(false) << QVariant(true);
        QTest::newRow("log key, second client's spelling")
            << upperLog << "LogHTTPResponse" << QVariant(false) << QVariant(true);
        QTest::newRow("other sections are not general")
            << QByteArray("[Other]\nsearchTimeMs=1\n[General]\nverifyRestartSleepMs=2\n")
            << "searchTimeMs" << QVariant(5000) << QVariant(5000);
        QTest::newRow("quoted value") << QByteArray("[General]\nsearchTimeMs=\"42\"\n")
                                      << "searchTimeMs" << QVariant(5000) << QVariant(42);
        QTest::newRow("comment is no entry") << QByteArray("[General]\n;searchTimeMs=1\n")
                                             << "searchTimeMs" << QVariant(5000) << QVariant(5000);
        QTest::newRow("false text reads false")
            << QByteArray("[General]\nuiRemoteControl=false\n") << "uiRemoteControl"
            << QVariant(true) << QVariant(false);
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QVariant, defaultValue);
        QFETCH(QVariant, expected);
        if (!content.isEmpty())
            writeFile(content);
        const QVariant value = readSettingsValue(key, defaultValue);
        if (expected.type() == QVariant::Bool)
            QCOMPARE(value.toBool(), expected.toBool());
        else
            QCOMPARE(value.toInt(), expected.toInt());
    }

    void editTakesEffectAtNextRead()
    {
        writeFile("[General]\nsearchTimeMs=1000\n");
        QCOMPARE(readSettingsValue("searchTimeMs", 5000).toInt(), 1000);
        writeFile("[General]\nsearchTimeMs=2000\nverifyRestartRetryTimes=3\n");
        QCOMPARE(readSettingsValue("searchTimeMs", 5000).toInt(), 2000);
        QCOMPARE(readSettingsValue("verifyRestartRetryTimes", 20).toInt(), 3);
    }

    void writeAddsToTheGeneralSection_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("general before another section")
            << QByteArray("[General]\nsearchTimeMs=700\n\n[Other]\nlanguage=Klingon\n");
        QTest::newRow("only another section") << QByteArray("[Other]\nlanguage=Klingon\n");
    }

    void writeAddsToTheGeneralSection()
    {
        QFETCH(QByteArray, content);
        if (!content.isEmpty())
            writeFile(content);
        writeSettingsValue("language", "Czech");
        QCOMPARE(readSettingsValue("language", "English").toString(), QString("Czech"));
        writeSettingsValue("language", "Polish");
        QCOMPARE(readSettingsValue("language", "English").toString(), QString("Polish"));
        if (content.contains("searchTimeMs"))
            QCOMPARE(readSettingsValue("searchTimeMs", 5000).toInt(), 700);
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written.count("Polish"), 1);
        if (content.contains("Klingon"))
            QVERIFY(written.contains("[Other]\nlanguage=Klingon"));
    }

    void writeKeepsTheFileSpellingAndOtherKeys()
    {
        writeFile("[General]\nLANGUAGE=French\nsearchTimeMs=700\n");
        writeSettingsValue("language", "German");
        QCOMPARE(readSettingsValue("language", "English").toString(), QString("German"));
        QCOMPARE(readSettingsValue("searchTimeMs", 5000).toInt(), 700);
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(!content.contains("\nlanguage="), content.constData());
        QVERIFY2(content.contains("LANGUAGE=German"), content.constData());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
