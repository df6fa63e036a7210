#include "CRemoteInput.h"

#include <QWindow>
#include <QtTest/qtestkeyboard.h>
#include <QtTest/qtestmouse.h>

namespace {

// The key codes Qt Test's key-to-character table covers (Qt 5.15), as inclusive ranges.
struct KeyRange
{
    int first;
    int last;
};

constexpr KeyRange kKeysWithText[] = {
    {0x20, 0x60},           {0x7b, 0x7e},           {0xa0, 0xdf},           {0xf7, 0xf7},
    {0xff, 0xff},           {0x1000000, 0x100000b}, {0x1000010, 0x1000017}, {0x1000020, 0x1000026},
    {0x1000030, 0x1000059}, {0x1000060, 0x1000064}, {0x1000070, 0x1000077}, {0x1000080, 0x1000084},
    {0x1000090, 0x1000094}, {0x10000a0, 0x10000b1},
};

} // namespace

Qt::MouseButton CRemoteInput::buttonFromName(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("right"))
        return Qt::RightButton;
    if (lower == QLatin1String("mid"))
        return Qt::MiddleButton;
    return Qt::LeftButton;
}

bool CRemoteInput::modifiersFromValue(int value, Qt::KeyboardModifiers* modifiers)
{
    const uint bits = static_cast<uint>(value);
    if (bits & ~static_cast<uint>(Qt::KeyboardModifierMask))
        return false;
    *modifiers = Qt::KeyboardModifiers(bits);
    return true;
}

bool CRemoteInput::isKeyCode(int key)
{
    return key >= 0 && key <= Qt::Key_unknown;
}

bool CRemoteInput::keyHasText(int key)
{
    for (const KeyRange& range : kKeysWithText) {
        if (key >= range.first && key <= range.last)
            return true;
    }
    return false;
}

void CRemoteInput::mouse(QWindow* window, MouseAction action, Qt::MouseButton button,
                         Qt::KeyboardModifiers modifiers, const QPoint& point)
{
    switch (action) {
    case MouseAction::Click:
        QTest::mouseClick(window, button, modifiers, point);
        break;
    case MouseAction::DoubleClick:
        QTest::mouseDClick(window, button, modifiers, point);
        break;
    case MouseAction::Move:
        QTest::mouseMove(window, point);
        break;
    case MouseAction::Press:
        QTest::mousePress(window, button, modifiers, point);
        break;
    case MouseAction::Release:
        QTest::mouseRelease(window, button, modifiers, point);
        break;
    }
}

void CRemoteInput::keyClick(QWindow* window, int key, Qt::KeyboardModifiers modifiers)
{
    const char text = keyHasText(key) ? QTest::keyToAscii(static_cast<Qt::Key>(key)) : 0;
    QTest::sendKeyEvent(QTest::Click, window, static_cast<Qt::Key>(key), text, modifiers);
}
