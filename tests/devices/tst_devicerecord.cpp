// The device record, its role names, meta-types, and the shared text helpers.
#include "AddressHelpers.h"
#include "CDeviceInfo.h"
#include "ModelNames.h"
#include "ParamReply.h"

#include <QMetaType>
#include <QtTest>

using Pairs = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Pairs)

class Sender : public QObject
{
    Q_OBJECT
signals:
    void listReady(std::deque<std::shared_ptr<CDeviceInfo>> list);
};

class Receiver : public QObject
{
    Q_OBJECT
public slots:
    void take(std::deque<std::shared_ptr<CDeviceInfo>> list) { received = list; }

public:
    std::deque<std::shared_ptr<CDeviceInfo>> received;
};

class TestDeviceRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerDeviceMetaTypes(); }

    void defaults()
    {
        const CDeviceInfo info;
        for (int role = CDeviceInfo::modelRole; role <= CDeviceInfo::sdCardUseRole; ++role) {
            const QVariant v = info.value(role);
            QVERIFY2(v.isValid(), qPrintable(QString::number(role)));
        }
        QCOMPARE(info.value(CDeviceInfo::httpPortRole), QVariant(80));
        QCOMPARE(info.value(CDeviceInfo::httpsPortRole), QVariant(443));
        QCOMPARE(info.value(CDeviceInfo::cmsPortRole), QVariant(3454));
        QCOMPARE(info.value(CDeviceInfo::drmSearchedRole), QVariant(false));
        QCOMPARE(info.value(CDeviceInfo::modelRole).toString(), QString());
        QVERIFY(!info.value(CDeviceInfo::statusRole).isValid());
    }

    void setValue_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("text") << int(CDeviceInfo::ipRole) << QVariant("10.0.0.1") << true
                              << QVariant("10.0.0.1");
        QTest::newRow("number into text")
            << int(CDeviceInfo::modelRole) << QVariant(42) << true << QVariant("42");
        QTest::newRow("port from text")
            << int(CDeviceInfo::httpPortRole) << QVariant("8080") << true << QVariant(8080);
        QTest::newRow("port truncated to 16 bits")
            << int(CDeviceInfo::httpsPortRole) << QVariant(65536 + 443) << true << QVariant(443);
        QTest::newRow("bool from text")
            << int(CDeviceInfo::drmSearchedRole) << QVariant("true") << true << QVariant(true);
        QTest::newRow("appended role refused")
            << int(CDeviceInfo::statusRole) << QVariant(5) << false << QVariant();
        QTest::newRow("unknown role refused")
            << int(CDeviceInfo::unknownRole) << QVariant(5) << false << QVariant();
    }

    void setValue()
    {
        QFETCH(int, role);
        QFETCH(QVariant, input);
        QFETCH(bool, accepted);
        QFETCH(QVariant, stored);
        CDeviceInfo info;
        const CDeviceInfo before = info;
        QCOMPARE(info.setValue(role, input), accepted);
        if (accepted)
            QCOMPARE(info.value(role), stored);
        else
            QVERIFY(info == before);
    }

    void roleFromName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("first field") << "modelRole" << 257;
        QTest::newRow("last field") << "sdCardUseRole" << 271;
        QTest::newRow("ports") << "cmsPortRole" << 267;
        QTest::newRow("status") << "statusRole" << 306;
        QTest::newRow("reserved table row") << "tableRowRole" << 309;
        QTest::newRow("last appended") << "zapkSignatureRole" << 316;
        QTest::newRow("wrong case") << "statusrole" << 356;
        QTest::newRow("empty") << "" << 356;
        QTest::newRow("trailing space") << "ipRole " << 356;
        QTest::newRow("display") << "display" << 356;
    }

    void roleFromName()
    {
        QFETCH(QString, name);
        QFETCH(int, role);
        QCOMPARE(::roleFromName(name), role);
    }

    // Every known name maps to a number and back, and the 26 numbers are the expected ones.
    void roleNamesRoundTrip()
    {
        QList<int> known;
        for (int role = 257; role <= 271; ++role)
            known << role;
        for (int role = 306; role <= 316; ++role)
            known << role;
        for (int role : known) {
            const QByteArray name = roleNameOf(role);
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(role)));
            QCOMPARE(::roleFromName(QString::fromLatin1(name)), role);
        }
        QVERIFY(roleNameOf(272).isEmpty());
        QVERIFY(roleNameOf(305).isEmpty());
        QCOMPARE(deviceFieldRoleNames().size(), 15);
        QCOMPARE(deviceFieldRoleNames().value(258), QByteArray("ipRole"));
    }

    // Records travel through queued connections by these exact type names.
    void metaTypesRegistered_data()
    {
        QTest::addColumn<QByteArray>("typeName");
        QTest::newRow("record") << QByteArray("std::shared_ptr<CDeviceInfo>");
        QTest::newRow("list") << QByteArray("std::deque<std::shared_ptr<CDeviceInfo>>");
    }

    void metaTypesRegistered()
    {
        QFETCH(QByteArray, typeName);
        const int id = QMetaType::type(typeName.constData());
        QVERIFY(id != QMetaType::UnknownType);
        QVERIFY(QMetaType::isRegistered(id));
    }

    void queuedSignalCarriesRecords()
    {
        Sender sender;
        Receiver receiver;
        QVERIFY(connect(&sender, SIGNAL(listReady(std::deque<std::shared_ptr<CDeviceInfo>>)),
                        &receiver, SLOT(take(std::deque<std::shared_ptr<CDeviceInfo>>)),
                        Qt::QueuedConnection));
        auto device = std::make_shared<CDeviceInfo>();
        device->ip = QStringLiteral("10.1.2.3");
        emit sender.listReady({device});
        QCOMPARE(receiver.received.size(), size_t(0));
        QTRY_COMPARE(receiver.received.size(), size_t(1));
        QCOMPARE(receiver.received.front().get(), device.get());
    }

    void isValidIPv4_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "10.0.0.255" << true;
        QTest::newRow("zeros") << "0.0.0.0" << true;
        QTest::newRow("leading zeros") << "010.001.000.009" << true;
        QTest::newRow("group 256") << "10.0.0.256" << false;
        QTest::newRow("three groups") << "10.0.0" << false;
        QTest::newRow("five groups") << "10.0.0.1.2" << false;
        QTest::newRow("other separators") << "10x0x0x1" << false;
        QTest::newRow("four digits") << "10.0.0.0001" << false;
        QTest::newRow("empty group") << "10..0.1" << false;
        QTest::newRow("trailing dot") << "10.0.0.1." << false;
        QTest::newRow("leading dot") << ".10.0.0.1" << false;
        QTest::newRow("space") << "10.0.0.1 " << false;
        QTest::newRow("sign") << "10.0.0.+1" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("١.٢.٣.٤") << false;
    }

    void isValidIPv4()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(::isValidIPv4(text), valid);
    }

    void ipv4Conversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("private") << "192.168.0.1" << quint32(0xC0A80001);
        QTest::newRow("zero") << "0.0.0.0" << quint32(0);
        QTest::newRow("broadcast") << "255.255.255.255" << quint32(0xFFFFFFFF);
        QTest::newRow("loopback") << "127.0.0.1" << quint32(0x7F000001);
    }

    void ipv4Conversion()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        QCOMPARE(ipv4ToUInt(text), value);
        QCOMPARE(uintToIPv4(value), text);
    }

    // ipv4ToUInt does not validate; it must still not misbehave on malformed text.
    void ipv4ToUIntUnvalidated_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("two groups") << "1.2" << quint32(0x0102);
        QTest::newRow("letters count as zero") << "1.x.3.4" << quint32(0x01000304);
        QTest::newRow("empty") << "" << quint32(0);
    }

    void ipv4ToUIntUnvalidated()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        QCOMPARE(ipv4ToUInt(text), value);
    }

    void parseParamPairs_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Pairs>("pairs");
        using P = QPair<QString, QString>;
        QTest::newRow("mixed reply")
            << QByteArray("system_hostname='cam1'\r\n\r\n=x\r\nnoequals\r\nk=''\r\nq='")
            << Pairs{P("system_hostname", "cam1"), P("k", ""), P("q", "'")};
        QTest::newRow("first equals splits") << QByteArray("a=b=c\r\n") << Pairs{P("a", "b=c")};
        QTest::newRow("unquoted and half quoted")
            << QByteArray("a=plain\r\nb='open\r\nc=close'")
            << Pairs{P("a", "plain"), P("b", "'open"), P("c", "close'")};
        QTest::newRow("only one pair of quotes removed")
            << QByteArray("a=''x''") << Pairs{P("a", "'x'")};
        QTest::newRow("repeated names kept in order")
            << QByteArray("n='1'\r\nm='2'\r\nn='3'")
            << Pairs{P("n", "1"), P("m", "2"), P("n", "3")};
        QTest::newRow("bare newline is not a separator")
            << QByteArray("a='1'\nb='2'") << Pairs{P("a", "1'\nb='2")};
        QTest::newRow("empty value") << QByteArray("a=") << Pairs{P("a", "")};
        QTest::newRow("utf8") << QByteArray("name='caf\xc3\xa9'")
                              << Pairs{P("name", QString::fromUtf8("caf\xc3\xa9"))};
        QTest::newRow("empty body") << QByteArray() << Pairs{};
        QTest::newRow("only separators") << QByteArray("\r\n\r\n") << Pairs{};
        QTest::newRow("embedded nul")
            << QByteArray("a='x\0y'", 7) << Pairs{P("a", QString::fromUtf8("x\0y", 3))};
    }

    void parseParamPairs()
    {
        QFETCH(QByteArray, body);
        QFETCH(Pairs, pairs);
        QCOMPARE(::parseParamPairs(body), pairs);
    }

    void identification_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("recorder");
        QTest::addColumn<bool>("other");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("model");
        QTest::newRow("camera") << "QD8182-QXOR-0104a" << false << false << "0104a"
                                << "QD8182";
        QTest::newRow("recorder NV") << "NV9311-QXOR-2.1" << true << true << "2.1"
                                     << "NV9311";
        QTest::newRow("recorder NR") << "NR8401-QXOR-1.0" << true << true << "1.0"
                                     << "NR8401";
        QTest::newRow("recorder ND") << "ND9541-QXOR-1.0" << true << true << "1.0"
                                     << "ND9541";
        QTest::newRow("recorder W") << "W2000-QXOR-3" << true << true << "3"
                                    << "W2000";
        QTest::newRow("recorder X") << "X100-QXOR-3" << true << true << "3"
                                    << "X100";
        QTest::newRow("recorder prefix is case-sensitive")
            << "nv9311-QXOR-2.1" << false << false << "2.1"
            << "nv9311";
        QTest::newRow("switch") << "SW1008-QXOR-1.2" << false << true << "1.2"
                                << "SW1008";
        QTest::newRow("poe switch") << "PSW24-QXOR-1" << false << true << "1"
                                    << "PSW24";
        QTest::newRow("dvr") << "DVR16-QXOR-1" << false << true << "1"
                             << "DVR16";
        QTest::newRow("xvr is also an X") << "XVR8-QXOR-1" << true << true << "1"
                                          << "XVR8";
        QTest::newRow("hvr") << "HVR4-QXOR-1" << false << true << "1"
                             << "HVR4";
        QTest::newRow("aw") << "AW10-QXOR-1" << false << true << "1"
                            << "AW10";
        QTest::newRow("ms") << "MS9-QXOR-1" << false << true << "1"
                            << "MS9";
        QTest::newRow("two pieces") << "QD8182-0104a" << false << false << "QD8182-0104a"
                                    << "QD8182-0104a";
        QTest::newRow("four pieces") << "QD8182-QXOR-01-04" << false << false << "QD8182-QXOR-01-04"
                                     << "QD8182-QXOR-01-04";
        QTest::newRow("empty pieces count") << "--" << false << false << ""
                                            << "";
        QTest::newRow("empty") << "" << false << false << ""
                               << "";
    }

    void identification()
    {
        QFETCH(QString, text);
        QFETCH(bool, recorder);
        QFETCH(bool, other);
        QFETCH(QString, firmware);
        QFETCH(QString, model);
        QCOMPARE(isRecorderModel(text), recorder);
        QCOMPARE(isOtherDevice(text), other);
        QCOMPARE(firmwareFromInfo(text), firmware);
        QCOMPARE(modelFromInfo(text), model);
    }
};

QTEST_GUILESS_MAIN(TestDeviceRecord)
#include "tst_devicerecord.moc"
