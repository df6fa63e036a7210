// The wire format without a socket: how a batch of bytes is cut into messages, how a message is
// decoded into a command, and what a reply looks like.
#include "CRemoteMessageCodec.h"

#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestRemoteMessageCodec : public QObject
{
    Q_OBJECT

private slots:
    void splitBatch_data();
    void splitBatch();
    void messageTextIsUtf8();
    void decode_data();
    void decode();
    void encodeReply_data();
    void encodeReply();
    void scriptValuesBecomeJson();
};

using ByteList = QList<QByteArray>;

void TestRemoteMessageCodec::splitBatch_data()
{
    QTest::addColumn<QByteArray>("batch");
    QTest::addColumn<ByteList>("messages");

    QTest::newRow("one message") << QByteArray(R"({"a":1})") << ByteList{R"({"a":1})"};
    QTest::newRow("two back to back")
        << QByteArray(R"({"a":1}{"b":2})") << ByteList{R"({"a":1})", R"({"b":2})"};
    QTest::newRow("white space between")
        << QByteArray("{\"a\":1} \r\n\t {\"b\":2}\n") << ByteList{R"({"a":1})", R"({"b":2})"};
    QTest::newRow("white space outside strings dropped")
        << QByteArray("{ \"a\" :\n [ 1 , 2 ] }") << ByteList{R"({"a":[1,2]})"};
    QTest::newRow("white space inside strings kept")
        << QByteArray("{\"a\": \"x \t y\"}") << ByteList{"{\"a\":\"x \t y\"}"};
    QTest::newRow("braces inside a string do not cut")
        << QByteArray(R"({"a":"}{"} {"b":"} {"})") << ByteList{R"({"a":"}{"})", R"({"b":"} {"})"};
    QTest::newRow("nested object then next message")
        << QByteArray(R"({"a":{"b":{}}} {"c":3})") << ByteList{R"({"a":{"b":{}}})", R"({"c":3})"};
    QTest::newRow("objects inside an array are not cut")
        << QByteArray(R"({"a":[{"b":1},{"c":2}]})") << ByteList{R"({"a":[{"b":1},{"c":2}]})"};
    QTest::newRow("escaped quote keeps the string open")
        << QByteArray(R"({"a":"say \"hi there\" }{ now"})")
        << ByteList{R"({"a":"say \"hi there\" }{ now"})"};
    QTest::newRow("escaped backslash closes the string")
        << QByteArray(R"({"a":"dir\\"} {"b":1})") << ByteList{R"({"a":"dir\\"})", R"({"b":1})"};
    QTest::newRow("half a message is a message")
        << QByteArray(R"({"getpro":{"objname")") << ByteList{R"({"getpro":{"objname")"};
    QTest::newRow("empty batch") << QByteArray() << ByteList{QByteArray()};
    QTest::newRow("white space only") << QByteArray(" \n") << ByteList{QByteArray()};
    QTest::newRow("text before a message stays with it")
        << QByteArray(R"(xx{"a":1})") << ByteList{R"(xx{"a":1})"};
    QTest::newRow("NUL bytes pass through")
        << QByteArray("{\"a\":\"\0\"}", 9) << ByteList{QByteArray("{\"a\":\"\0\"}", 9)};
}

void TestRemoteMessageCodec::splitBatch()
{
    QFETCH(QByteArray, batch);
    QFETCH(ByteList, messages);
    QCOMPARE(CRemoteMessageCodec::splitBatch(batch), messages);
}

void TestRemoteMessageCodec::messageTextIsUtf8()
{
    // Clients send UTF-8: a non-ASCII string must arrive as the client meant it.
    const QString word = QStringLiteral("Caf\u00e9 \u6771\u4eac");
    const QByteArray batch = "{\"setpro\":{\"propval\":\"" + word.toUtf8() + "\"}}";
    const ByteList parts = CRemoteMessageCodec::splitBatch(batch);
    QCOMPARE(parts.size(), 1);
    CRemoteMessageCodec::MessageInfo info;
    QVERIFY(CRemoteMessageCodec::decode(CRemoteMessageCodec::messageText(parts.first()), &info));
    QCOMPARE(info.params.value("propval").toString(), word);
}

void TestRemoteMessageCodec::decode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isObject");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QVariantMap>("params");
    QTest::addColumn<int>("delay");

    const QVariantMap target{{"objname", "pad"}};
    QTest::newRow("command only") << R"({"getpro":{"objname":"pad"}})" << true << "getpro" << target
                                  << 0;
    QTest::newRow("with delay") << R"({"getpro":{"objname":"pad"},"delay":500})" << true << "getpro"
                                << target << 500;
    QTest::newRow("hover sorts after click")
        << R"({"click":{"x":1},"hover":{"objname":"pad"}})" << true << "hover" << target << 0;
    QTest::newRow("invokeret sorts after invoke")
        << R"({"invokeret":{"objname":"pad"},"invoke":{}})" << true << "invokeret" << target << 0;
    QTest::newRow("any other member can be the delay")
        << R"({"wait":250,"getpro":{"objname":"pad"}})" << true << "getpro" << target << 250;
    QTest::newRow("the delay sorting last wins")
        << R"({"a":100,"z":300,"m":200,"getpro":{}})" << true << "getpro" << QVariantMap() << 300;
    QTest::newRow("a later non-positive member does not reset the delay")
        << R"({"a":100,"z":0,"getpro":{}})" << true << "getpro" << QVariantMap() << 100;
    QTest::newRow("numeric string delay")
        << R"({"delay":"40","getpro":{}})" << true << "getpro" << QVariantMap() << 40;
    QTest::newRow("negative delay ignored")
        << R"({"delay":-5,"getpro":{}})" << true << "getpro" << QVariantMap() << 0;
    QTest::newRow("text delay ignored")
        << R"({"delay":"soon","getpro":{}})" << true << "getpro" << QVariantMap() << 0;
    QTest::newRow("parameters not an object")
        << R"({"click":[1,2]})" << true << "click" << QVariantMap() << 0;
    QTest::newRow("no command name")
        << R"({"delay":10,"Click":{}})" << true << QString() << QVariantMap() << 10;
    QTest::newRow("model command names are commands")
        << R"({"getmdlitemval":{}})" << true << "getmdlitemval" << QVariantMap() << 0;
    QTest::newRow("empty text") << QString() << false << QString() << QVariantMap() << 0;
    QTest::newRow("array") << R"([{"getpro":{}}])" << false << QString() << QVariantMap() << 0;
    QTest::newRow("half a message")
        << R"({"getpro":{"objname")" << false << QString() << QVariantMap() << 0;
    QTest::newRow("two objects in one text")
        << R"({"getpro":{}}{"setpro":{}})" << false << QString() << QVariantMap() << 0;
    QTest::newRow("number") << "42" << false << QString() << QVariantMap() << 0;
    QTest::newRow("empty object") << "{}" << true << QString() << QVariantMap() << 0;
}

void TestRemoteMessageCodec::decode()
{
    QFETCH(QString, text);
    QFETCH(bool, isObject);
    QFETCH(QString, command);
    QFETCH(QVariantMap, params);
    QFETCH(int, delay);

    CRemoteMessageCodec::MessageInfo info;
    info.command = "stale";
    info.delay = 7;
    QCOMPARE(CRemoteMessageCodec::decode(text, &info), isObject);
    QCOMPARE(info.command, command);
    QCOMPARE(info.params, params);
    QCOMPARE(info.delay, delay);
}

void TestRemoteMessageCodec::encodeReply_data()
{
    QTest::addColumn<bool>("result");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("result only") << false << QVariant()
                                 << QByteArray("{\n    \"result\": false\n}\n");
    QTest::newRow("number value") << true << QVariant(100)
                                  << QByteArray(
                                         "{\n    \"result\": true,\n    \"value\": 100\n}\n");
    QTest::newRow("text value")
        << true << QVariant("a \"b\"")
        << QByteArray("{\n    \"result\": true,\n    \"value\": \"a \\\"b\\\"\"\n}\n");
    QTest::newRow("empty text is still a value")
        << true << QVariant(QString(""))
        << QByteArray("{\n    \"result\": true,\n    \"value\": \"\"\n}\n");
    QTest::newRow("object value, members in key order")
        << true << QVariant(QVariantMap{{"b", 2}, {"a", true}})
        << QByteArray("{\n    \"result\": true,\n    \"value\": {\n        \"a\": true,\n"
                      "        \"b\": 2\n    }\n}\n");
}

void TestRemoteMessageCodec::encodeReply()
{
    QFETCH(bool, result);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(CRemoteMessageCodec::encodeReply(result, value), expected);
}

void TestRemoteMessageCodec::scriptValuesBecomeJson()
{
    QJSEngine engine;
    const QJSValue record =
        engine.evaluate("({ name: 'r', list: [1, 'two', { deep: null }], flag: false })");
    QVERIFY(record.isObject());
    // Inside a list as well as at the top: a script value nested in a plain list must not reach
    // the JSON conversion as an opaque value.
    const QVariant value = CRemoteMessageCodec::toPlainVariant(
        QVariantList{QVariant::fromValue(record), QVariant::fromValue(engine.toScriptValue(5))});
    const QJsonDocument reply =
        QJsonDocument::fromJson(CRemoteMessageCodec::encodeReply(true, value));
    const QJsonDocument expected = QJsonDocument::fromJson(
        R"({"result":true,"value":[{"name":"r","list":[1,"two",{"deep":null}],"flag":false},5]})");
    QCOMPARE(reply, expected);
}

QTEST_GUILESS_MAIN(TestRemoteMessageCodec)
#include "tst_remotemessagecodec.moc"
