#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWindow;

// Synthetic mouse and key input through Qt Test's window-level simulation, with the checks that
// keep values from a remote client away from Qt Test's fatal assertions.
class CRemoteInput
{
public:
    enum class MouseAction
    {
        Click,
        DoubleClick,
        Move,
        Press,
        Release
    };

    // The button named by a client: "right", "mid", anything else the left button (any case).
    static Qt::MouseButton buttonFromName(const QString& name);

    // Converts a client's modifier value. Returns false for a value with bits outside
    // Qt::KeyboardModifierMask: Qt Test aborts the program on some of those, and none of them is a
    // modifier a user could hold.
    static bool modifiersFromValue(int value, Qt::KeyboardModifiers* modifiers);

    // True when key lies within Qt's key codes (Qt::Key_unknown is the highest).
    static bool isKeyCode(int key);

    // True when Qt Test knows a character for the key code; for any other code asking it for one
    // would abort the program.
    static bool keyHasText(int key);

    static void mouse(QWindow* window, MouseAction action, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers, const QPoint& point);

    // A key click (press and release) on window; key must satisfy isKeyCode, with Qt Test's
    // character for the key when it has one and no text otherwise.
    static void keyClick(QWindow* window, int key, Qt::KeyboardModifiers modifiers);
};
