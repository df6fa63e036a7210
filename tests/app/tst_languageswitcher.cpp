#include "CLanguageSwitcher.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>

// The "language" folder beside this test holds French.qm only.
class TestLanguageSwitcher : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(settingsFilePath()); }
    void cleanup() { QFile::remove(settingsFilePath()); }

    void switching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("languageAfter");
        QTest::addColumn<QString>("devicesText");

        QTest::newRow("current language does nothing") << "English" << false << "English"
                                                       << "Devices";
        QTest::newRow("existing file switches") << "French" << true << "French"
                                                << "Appareils";
        QTest::newRow("missing file leaves the setting") << "Klingon" << false << "English"
                                                         << "Devices";
    }

    void switching()
    {
        QFETCH(QString, name);
        QFETCH(bool, switched);
        QFETCH(QString, languageAfter);
        QFETCH(QString, devicesText);

        QQmlEngine engine;
        CLanguageSwitcher switcher;
        QSignalSpy changed(&switcher, &CLanguageSwitcher::currentLanguageChanged);
        QCOMPARE(switcher.setTranslation(name, &engine), switched);
        QCOMPARE(changed.count(), switched ? 1 : 0);
        QCOMPARE(CLanguageSwitcher::currentLanguage(), languageAfter);
        QCOMPARE(QCoreApplication::translate("Probe", "Devices"), devicesText);
    }

    void loadingTheSameLanguageAgainIsQuiet()
    {
        CLanguageSwitcher switcher;
        QVERIFY(switcher.setTranslation("French", nullptr));
        QSignalSpy changed(&switcher, &CLanguageSwitcher::currentLanguageChanged);
        QVERIFY(!switcher.setTranslation("French", nullptr));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(QCoreApplication::translate("Probe", "Devices"), QString("Appareils"));
    }

    void failedLoadRunsUntranslated()
    {
        CLanguageSwitcher switcher;
        QVERIFY(switcher.load("French"));
        QVERIFY(!switcher.load("Klingon"));
        QCOMPARE(QCoreApplication::translate("Probe", "Devices"), QString("Devices"));
    }
};

QTEST_GUILESS_MAIN(TestLanguageSwitcher)
#include "tst_languageswitcher.moc"
