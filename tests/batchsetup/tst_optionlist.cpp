#include "CCustomizeCheckingOptionList.h"
#include "COptionList.h"
#include "CTimeZoneOptionList.h"

#include <QtTest>

namespace {

QVariantList variants(const QStringList& list)
{
    QVariantList out;
    for (const QString& s : list)
        out << s;
    return out;
}

// Records the order in which an option list's signals arrive.
struct SignalLog
{
    QStringList events;
    explicit SignalLog(CAbstractUISet* set)
    {
        QObject::connect(set, &CAbstractUISet::optsChanged, [this] { events << "opts"; });
        QObject::connect(set, &CAbstractUISet::currentOptChanged, [this] { events << "current"; });
    }
};

} // namespace

class TestOptionList : public QObject
{
    Q_OBJECT

private slots:
    void changesNotifyOnce();
    void propertiesReachTheSameState();
    void timeZonesAreFixed();
    void clamping_data();
    void clamping();
};

void TestOptionList::changesNotifyOnce()
{
    COptionList list;
    SignalLog log(&list);
    QSignalSpy reset(&list, &COptionList::dataReset);

    const QVariantList opts = variants({"1", "0"});
    list.setOpts(opts);
    list.setOpts(variants({"1", "0"})); // equal elements, other data
    list.setOpts(opts);
    QCOMPARE(log.events, QStringList{"opts"});
    QVERIFY(!list.IsDirty()); // new choices are not a change of the value

    list.setCurrentOpt("1");
    QVERIFY(list.IsDirty());
    list.ResetDirty();
    list.setCurrentOpt("1");
    QVERIFY(!list.IsDirty());
    QCOMPARE(log.events, (QStringList{"opts", "current"}));

    list.setOpts(variants({"1", "0", "2"}));
    list.setCurrentOpt(""); // clearing is a change as well
    QVERIFY(list.IsDirty());
    QCOMPARE(log.events, (QStringList{"opts", "current", "opts", "current"}));
    QCOMPARE(list.currentOpt(), QString(""));
    emit list.dataReset();
    QCOMPARE(reset.count(), 1);
}

void TestOptionList::propertiesReachTheSameState()
{
    // The pages write through the properties; they must behave like the setters.
    COptionList list;
    QSignalSpy current(&list, &CAbstractUISet::currentOptChanged);
    QVERIFY(list.setProperty("opts", variants({"a", "b"})));
    QVERIFY(list.setProperty("currentOpt", "b"));
    QVERIFY(list.setProperty("currentOpt", "b"));
    QCOMPARE(current.count(), 1);
    QCOMPARE(list.property("currentOpt").toString(), QString("b"));
    QCOMPARE(list.property("opts").toList(), variants({"a", "b"}));
    QVERIFY(list.IsDirty());
}

void TestOptionList::timeZonesAreFixed()
{
    CTimeZoneOptionList zones;
    SignalLog log(&zones);
    QCOMPARE(zones.opts().size(), 45);
    QCOMPARE(zones.opts().first().toString(), QString("-480"));
    QCOMPARE(zones.opts().last().toString(), QString("520"));
    QVERIFY(zones.opts().contains(QString("230")));
    QVERIFY(zones.opts().contains(QString("-281")));
    zones.setOpts(variants({"1", "2"}));
    QCOMPARE(zones.opts().size(), 45);
    QCOMPARE(zones.property("opts").toList().size(), 45);
    QVERIFY(log.events.isEmpty());
    zones.setCurrentOpt("320");
    QCOMPARE(log.events, QStringList{"current"});
}

void TestOptionList::clamping_data()
{
    QTest::addColumn<QStringList>("opts");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("events");

    const QStringList free{"%s", "10", "20"};
    QTest::newRow("above the largest") << free << "25"
                                       << "20" << QStringList{"current", "opts"};
    QTest::newRow("within range") << free << "15"
                                  << "15" << QStringList{"opts"};
    QTest::newRow("equal to the largest") << free << "20"
                                          << "20" << QStringList{"opts"};
    QTest::newRow("not a number") << free << "abc"
                                  << "abc" << QStringList{"opts"};
    QTest::newRow("empty current") << free << ""
                                   << "" << QStringList{"opts"};
    QTest::newRow("last option not a number") << QStringList{"10", "%s", "max"} << "60"
                                              << "60" << QStringList{"opts"};
    QTest::newRow("no free input") << QStringList{"10", "20"} << "60"
                                   << "60" << QStringList{"opts"};
    QTest::newRow("frame rate 60 to 30") << QStringList{"%s", "1", "5", "15", "30"} << "60"
                                         << "30" << QStringList{"current", "opts"};
}

void TestOptionList::clamping()
{
    QFETCH(QStringList, opts);
    QFETCH(QString, current);
    QFETCH(QString, expected);
    QFETCH(QStringList, events);

    CCustomizeCheckingOptionList list;
    list.setCurrentOpt(current);
    list.ResetDirty();
    SignalLog log(&list);
    list.setOpts(variants(opts));
    QCOMPARE(list.currentOpt(), expected);
    QCOMPARE(list.IsDirty(), expected != current);
    QCOMPARE(log.events, events);
    QCOMPARE(list.opts(), variants(opts));
}

QTEST_GUILESS_MAIN(TestOptionList)
#include "tst_optionlist.moc"
