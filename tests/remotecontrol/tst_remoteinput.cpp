// The checks that stand between a client's numbers and Qt Test's fatal assertions, and the
// mapping of button names.
#include "CRemoteInput.h"

#include <QtTest>

class TestRemoteInput : public QObject
{
    Q_OBJECT

private slots:
    void modifiersFromValue_data();
    void modifiersFromValue();
    void buttonFromName_data();
    void buttonFromName();
    void keyCodes_data();
    void keyCodes();
    void everyKeyWithTextHasOne();
};

void TestRemoteInput::modifiersFromValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("none") << 0 << true << 0;
    QTest::newRow("shift") << int(Qt::ShiftModifier) << true << int(Qt::ShiftModifier);
    QTest::newRow("control alt") << int(Qt::ControlModifier | Qt::AltModifier) << true
                                 << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("every modifier bit")
        << int(Qt::KeyboardModifierMask) << true << int(Qt::KeyboardModifierMask);
    QTest::newRow("a bit below the mask") << 1 << false << 0;
    QTest::newRow("shift and a bit below the mask") << int(Qt::ShiftModifier | 0x100) << false << 0;
    QTest::newRow("minus one") << -1 << false << 0;
}

void TestRemoteInput::modifiersFromValue()
{
    QFETCH(int, value);
    QFETCH(bool, accepted);
    QFETCH(int, modifiers);
    Qt::KeyboardModifiers result = Qt::NoModifier;
    QCOMPARE(CRemoteInput::modifiersFromValue(value, &result), accepted);
    QCOMPARE(int(result), modifiers);
}

void TestRemoteInput::buttonFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("button");
    QTest::newRow("right") << "right" << int(Qt::RightButton);
    QTest::newRow("right, any case") << "RiGhT" << int(Qt::RightButton);
    QTest::newRow("mid") << "MID" << int(Qt::MiddleButton);
    QTest::newRow("left") << "left" << int(Qt::LeftButton);
    QTest::newRow("missing") << "" << int(Qt::LeftButton);
    QTest::newRow("middle is not mid") << "middle" << int(Qt::LeftButton);
}

void TestRemoteInput::buttonFromName()
{
    QFETCH(QString, name);
    QFETCH(int, button);
    QCOMPARE(int(CRemoteInput::buttonFromName(name)), button);
}

void TestRemoteInput::keyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("isKey");
    QTest::addColumn<bool>("hasText");
    QTest::newRow("A") << int(Qt::Key_A) << true << true;
    QTest::newRow("space") << int(Qt::Key_Space) << true << true;
    QTest::newRow("return") << int(Qt::Key_Return) << true << true;
    QTest::newRow("F1") << int(Qt::Key_F1) << true << true;
    QTest::newRow("zero, a missing key") << 0 << true << false;
    QTest::newRow("lower-case letter code") << 0x61 << true << false;
    QTest::newRow("zoom") << int(Qt::Key_Zoom) << true << false;
    QTest::newRow("unknown") << int(Qt::Key_unknown) << true << false;
    QTest::newRow("beyond the key codes") << int(Qt::Key_unknown) + 1 << false << false;
    QTest::newRow("negative") << -5 << false << false;
}

void TestRemoteInput::keyCodes()
{
    QFETCH(int, key);
    QFETCH(bool, isKey);
    QFETCH(bool, hasText);
    QCOMPARE(CRemoteInput::isKeyCode(key), isKey);
    QCOMPARE(CRemoteInput::keyHasText(key), hasText);
}

void TestRemoteInput::everyKeyWithTextHasOne()
{
    // Asking Qt Test for a key outside its table aborts the process, so this fails loudly if the
    // installed Qt knows fewer keys than the program assumes.
    int checked = 0;
    for (int key = 0; key <= 0x10000ff; key = key == 0x3ff ? 0x1000000 : key + 1) {
        if (!CRemoteInput::keyHasText(key))
            continue;
        QTest::keyToAscii(static_cast<Qt::Key>(key));
        ++checked;
    }
    QVERIFY(checked > 0);
}

QTEST_GUILESS_MAIN(TestRemoteInput)
#include "tst_remoteinput.moc"
