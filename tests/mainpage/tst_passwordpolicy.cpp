#include "CPasswordPolicyCheck.h"
#include "PasswordPolicy.h"

#include <QTest>

using Values = QMap<QString, QString>;
Q_DECLARE_METATYPE(Values)

class TestPasswordPolicy : public QObject
{
    Q_OBJECT

    static QVariantMap everyRule()
    {
        Values values;
        values.insert("layout_defaultpassword_type", "63");
        values.insert("layout_defaultpassword_length", "8~64");
        return passwordPolicyRule(values);
    }

private slots:
    void ruleFromDeviceAnswer_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("minLength");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("flags"); // alphabet special number lower capital account
        QTest::addColumn<QString>("special");

        const QString defaults = QStringLiteral("!\\%\\-\\.@\\^_~");
        QTest::newRow("no answer at all") << Values() << 8 << 64 << "101000" << defaults;
        Values all;
        all.insert("layout_defaultpassword_type", "31");
        all.insert("layout_defaultpassword_length", "10~32");
        QTest::newRow("type 31") << all << 10 << 32 << "111110" << defaults;
        Values empty;
        empty.insert("layout_defaultpassword_type", "");
        empty.insert("layout_defaultpassword_length", "");
        empty.insert("layout_defaultpassword_specialcharacter", "");
        QTest::newRow("empty parameters take defaults") << empty << 8 << 64 << "101000" << defaults;
        Values odd;
        odd.insert("layout_defaultpassword_type", "abc");
        odd.insert("layout_defaultpassword_length", "12");
        odd.insert("layout_defaultpassword_specialcharacter", "!@");
        QTest::newRow("unreadable type, length without range") << odd << 12 << 64 << "000000"
                                                               << "!@";
        Values account;
        account.insert("layout_defaultpassword_type", "32");
        QTest::newRow("account bit alone") << account << 8 << 64 << "000001" << defaults;
    }

    void ruleFromDeviceAnswer()
    {
        QFETCH(Values, values);
        QFETCH(int, minLength);
        QFETCH(int, maxLength);
        QFETCH(QString, flags);
        QFETCH(QString, special);

        const QVariantMap rule = passwordPolicyRule(values);
        QCOMPARE(rule.value("minPasswordLength").toInt(), minLength);
        QCOMPARE(rule.value("maxPasswordLength").toInt(), maxLength);
        QCOMPARE(rule.value("specialCharacters").toString(), special);
        const char* names[] = {"atLeastOneAlphabet", "atLeastOneSpecialCharacters",
                               "atLeastOneNumber",   "atLeastOneLowerCase",
                               "atLeastOneCapital",  "accountAndPasswordNotSame"};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(rule.value(names[i]).toBool() == (flags.at(i) == '1'), names[i]);
    }

    void check_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("failedCheck"); // empty when valid
        QTest::addColumn<int>("strength");

        QTest::newRow("weak") << "Aa12345!"
                              << "" << 1;
        QTest::newRow("medium") << "!Aa123451234"
                                << "" << 2;
        QTest::newRow("strong") << "!Aa1234512345zzzzz"
                                << "" << 3;
        QTest::newRow("hash is not allowed") << "aA#1234657"
                                             << "characters" << 0;
        QTest::newRow("space") << "1234 5678"
                               << "length" << 0;
        QTest::newRow("too long") << QString(65, '1') << "length" << 0;
        QTest::newRow("too short") << "Aa1!"
                                   << "length" << 0;
        QTest::newRow("same as account") << "root"
                                         << "account" << 0;
        QTest::newRow("ampersand and comma pass") << "Aa1&,bcdef"
                                                  << "" << 2;
        QTest::newRow("no capital") << "aa12345!"
                                    << "capital" << 0;
        QTest::newRow("no lower case") << "AA12345!"
                                       << "lowerCase" << 0;
        QTest::newRow("no number") << "Aabcdef!"
                                   << "number" << 0;
        QTest::newRow("no special") << "Aa123456"
                                    << "special" << 0;
        QTest::newRow("empty") << ""
                               << "characters" << 0;
        QTest::newRow("non-ascii letter")
            << QString::fromUtf8("Aa12345!\xc3\xa9") << "characters" << 0;
    }

    void check()
    {
        QFETCH(QString, password);
        QFETCH(QString, failedCheck);
        QFETCH(int, strength);

        CPasswordPolicyCheck checker;
        const QVariantMap result = checker.check(password, everyRule());
        QCOMPARE(result.value("valid").toBool(), failedCheck.isEmpty());
        if (!failedCheck.isEmpty())
            QVERIFY2(!result.value(failedCheck).toBool(), qPrintable(failedCheck));
        QCOMPARE(checker.strength(password, everyRule()), strength);
    }

    void hintsFollowTheRule()
    {
        CPasswordPolicyCheck checker;
        const QVariantList defaults = checker.hintLines("abc", passwordPolicyRule({}));
        QCOMPARE(defaults.size(), 3);
        QCOMPARE(defaults.at(0).toMap().value("text").toString(),
                 QString("Be between 8-64 characters with no space"));
        QCOMPARE(defaults.at(1).toMap().value("check").toString(), QString("alphabet"));
        QVERIFY(defaults.at(1).toMap().value("met").toBool());
        QCOMPARE(defaults.at(2).toMap().value("check").toString(), QString("number"));
        QVERIFY(!defaults.at(2).toMap().value("met").toBool());

        const QVariantList all = checker.hintLines("Aa1!aaaa", everyRule());
        QCOMPARE(all.size(), 7);
        QCOMPARE(all.at(2).toMap().value("text").toString(),
                 QString("Include at least one of these special characters: !\\%\\-\\.@\\^_~"));
        for (const QVariant& line : all)
            QVERIFY2(line.toMap().value("met").toBool(),
                     qPrintable(line.toMap().value("text").toString()));
    }

    void strengthColors()
    {
        CPasswordPolicyCheck checker;
        QCOMPARE(checker.strengthColors(0), QStringList({"#999999", "#999999", "#999999"}));
        QCOMPARE(checker.strengthColors(1), QStringList({"#ee3124", "#999999", "#999999"}));
        QCOMPARE(checker.strengthColors(2), QStringList({"#f5a623", "#f5a623", "#999999"}));
        QCOMPARE(checker.strengthColors(3), QStringList({"#7eb338", "#7eb338", "#7eb338"}));
    }
};

QTEST_GUILESS_MAIN(TestPasswordPolicy)
#include "tst_passwordpolicy.moc"
