#include "CCsvParser.h"
#include "PackFixture.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCsvParser : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void readsLinesInOrder();
    void closedParserYieldsNothing();
};

void TestCsvParser::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain") << "a,b,c" << QStringList{"a", "b", "c"};
    QTest::newRow("empty parts kept") << "a,,c," << QStringList{"a", "", "c", ""};
    QTest::newRow("empty line") << "" << QStringList{""};
    QTest::newRow("quoted comma") << "uid_x,/r,/w,\"a,b\",p=1"
                                  << QStringList{"uid_x", "/r", "/w", "a,b", "p=1"};
    QTest::newRow("quoted without comma") << "\"abc\",d" << QStringList{"abc", "d"};
    QTest::newRow("several commas in quotes")
        << "x,\"0,0,320,240\",y" << QStringList{"x", "0,0,320,240", "y"};
    QTest::newRow("lone quote is empty field") << "a,\",b" << QStringList{"a", "", "b"};
    QTest::newRow("unterminated quote takes rest") << "a,\"b,c" << QStringList{"a", "b,c,"};
    QTest::newRow("quote inside unquoted field") << "a\"b,c" << QStringList{"a\"b", "c"};
    QTest::newRow("template line") << "uid_system_hostname,0,\"cam01\","
                                   << QStringList{"uid_system_hostname", "0", "cam01", ""};
    QTest::newRow("empty quoted value") << "uid,1,\"\"," << QStringList{"uid", "1", "", ""};
    QTest::newRow("inner quote not escaped")
        << "u,0,\"ab\"c\"," << QStringList{"u", "0", "ab\"c", ""};
}

void TestCsvParser::fields()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QCOMPARE(CCsvParser::SplitFields(line), expected);

    // The same split through a file, in a codec that is not the default.
    QTemporaryDir dir;
    const QString path = dir.filePath("line.csv");
    QVERIFY(PackFixture::writeFile(path, line.toUtf8() + "\r\n"));
    CCsvParser parser(path, "UTF-8");
    QVERIFY(parser.IsOpen());
    QVERIFY(parser.HasNext());
    parser.ReadLine();
    QCOMPARE(parser.CurrentLine(), line);
    QCOMPARE(parser.Fields(), expected);
}

void TestCsvParser::readsLinesInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    QVERIFY(PackFixture::writeFile(path, "first,1\r\nzweite,\xc3\xa9\nlast"));
    CCsvParser parser(path, "UTF-8");
    QStringList lines;
    while (parser.HasNext()) {
        parser.ReadLine();
        lines << parser.CurrentLine();
    }
    QCOMPARE(lines, (QStringList{"first,1", QString::fromUtf8("zweite,\xc3\xa9"), "last"}));
}

void TestCsvParser::closedParserYieldsNothing()
{
    QTest::ignoreMessage(QtDebugMsg, "cannot open file in CCsvParser::CCsvParser");
    CCsvParser parser(QStringLiteral("/nonexistent/ardmere/none.csv"));
    QVERIFY(!parser.IsOpen());
    QVERIFY(!parser.HasNext());
    parser.ReadLine();
    QVERIFY(parser.CurrentLine().isEmpty());
    QVERIFY(parser.Fields().isEmpty());
}

QTEST_GUILESS_MAIN(TestCsvParser)
#include "tst_csvparser.moc"
