#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

// Judges a typed password against a device's rule map, for the password dialogs. The dialog shows
// hintLines() under "Password must:" and colours the three strength bars with strengthColors().
class CPasswordPolicyCheck : public QObject
{
    Q_OBJECT
public:
    enum E_Strength
    {
        Invalid = 0,
        Weak = 1,
        Medium = 2,
        Strong = 3
    };
    Q_ENUM(E_Strength)

    explicit CPasswordPolicyCheck(QObject* parent = nullptr);

    // Each check by name ("characters", "length", "special", "alphabet", "lowerCase", "capital",
    // "number", "account") with true when it holds, plus "valid" and "strength".
    Q_INVOKABLE QVariantMap check(const QString& password, const QVariantMap& rule) const;
    Q_INVOKABLE bool isValid(const QString& password, const QVariantMap& rule) const;
    Q_INVOKABLE int strength(const QString& password, const QVariantMap& rule) const;

    // The rule lines to show, in order: {"text", "check" (the name of the check it stands for),
    // "met"}. The length line is always shown; the others only when their rule applies.
    Q_INVOKABLE QVariantList hintLines(const QString& password, const QVariantMap& rule) const;

    // The colours of the three strength bars, left to right.
    Q_INVOKABLE QStringList strengthColors(int strength) const;
};
