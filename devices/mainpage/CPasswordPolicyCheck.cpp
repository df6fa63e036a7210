#include "CPasswordPolicyCheck.h"

namespace {

const QString kAllowedSpecials = QStringLiteral("!%&',-.@^_~");
const QString kCountedSpecials = QStringLiteral("!%&'()*+,-.@^_~");

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

template <typename Pred> bool any(const QString& text, Pred pred)
{
    for (const QChar c : text) {
        if (pred(c))
            return true;
    }
    return false;
}

} // namespace

CPasswordPolicyCheck::CPasswordPolicyCheck(QObject* parent) : QObject(parent) {}

QVariantMap CPasswordPolicyCheck::check(const QString& password, const QVariantMap& rule) const
{
    const auto flag = [&rule](const char* name) {
        return rule.value(QLatin1String(name)).toBool();
    };

    const bool characters = !password.isEmpty() && !any(password, [](QChar c) {
        return !isAsciiLetter(c) && !isAsciiDigit(c) && !kAllowedSpecials.contains(c);
    });
    const int minLength = rule.value(QStringLiteral("minPasswordLength")).toInt();
    const int maxLength = rule.value(QStringLiteral("maxPasswordLength")).toInt();
    const bool length = !any(password, [](QChar c) { return c.isSpace(); }) &&
                        password.size() >= minLength && password.size() <= maxLength;
    const bool special = !flag("atLeastOneSpecialCharacters") ||
                         any(password, [](QChar c) { return kCountedSpecials.contains(c); });
    const bool alphabet = !flag("atLeastOneAlphabet") || any(password, isAsciiLetter);
    const bool lowerCase = !flag("atLeastOneLowerCase") || any(password, [](QChar c) {
        return c >= QLatin1Char('a') && c <= QLatin1Char('z');
    });
    const bool capital = !flag("atLeastOneCapital") || any(password, [](QChar c) {
        return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
    });
    const bool number = !flag("atLeastOneNumber") || any(password, isAsciiDigit);
    const bool account = !flag("accountAndPasswordNotSame") || password != QLatin1String("root");

    const bool valid =
        characters && length && special && alphabet && lowerCase && capital && number && account;
    int level = Invalid;
    if (valid)
        level = password.size() >= 13 ? Strong : (password.size() >= 9 ? Medium : Weak);

    QVariantMap result;
    result.insert(QStringLiteral("characters"), characters);
    result.insert(QStringLiteral("length"), length);
    result.insert(QStringLiteral("special"), special);
    result.insert(QStringLiteral("alphabet"), alphabet);
    result.insert(QStringLiteral("lowerCase"), lowerCase);
    result.insert(QStringLiteral("capital"), capital);
    result.insert(QStringLiteral("number"), number);
    result.insert(QStringLiteral("account"), account);
    result.insert(QStringLiteral("valid"), valid);
    result.insert(QStringLiteral("strength"), level);
    return result;
}

bool CPasswordPolicyCheck::isValid(const QString& password, const QVariantMap& rule) const
{
    return check(password, rule).value(QStringLiteral("valid")).toBool();
}

int CPasswordPolicyCheck::strength(const QString& password, const QVariantMap& rule) const
{
    return check(password, rule).value(QStringLiteral("strength")).toInt();
}

QVariantList CPasswordPolicyCheck::hintLines(const QString& password, const QVariantMap& rule) const
{
    const QVariantMap result = check(password, rule);
    QVariantList lines;
    const auto add = [&](const QString& text, const char* checkName) {
        QVariantMap line;
        line.insert(QStringLiteral("text"), text);
        line.insert(QStringLiteral("check"), QLatin1String(checkName));
        line.insert(QStringLiteral("met"), result.value(QLatin1String(checkName)).toBool());
        lines.append(line);
    };
    const auto flag = [&rule](const char* name) {
        return rule.value(QLatin1String(name)).toBool();
    };

    // The length line also stands for the character check: a space or a character outside the
    // allowed set leaves it unmet.
    QVariantMap lengthLine;
    lengthLine.insert(QStringLiteral("text"),
                      tr("Be between %1-%2 characters with no space")
                          .arg(rule.value(QStringLiteral("minPasswordLength")).toInt())
                          .arg(rule.value(QStringLiteral("maxPasswordLength")).toInt()));
    lengthLine.insert(QStringLiteral("check"), QStringLiteral("length"));
    lengthLine.insert(QStringLiteral("met"),
                      result.value(QStringLiteral("length")).toBool() &&
                          result.value(QStringLiteral("characters")).toBool());
    lines.append(lengthLine);
    if (flag("atLeastOneAlphabet"))
        add(tr("Include at least one alphabetic character"), "alphabet");
    if (flag("atLeastOneSpecialCharacters"))
        add(tr("Include at least one of these special characters: %1")
                .arg(rule.value(QStringLiteral("specialCharacters")).toString()),
            "special");
    if (flag("atLeastOneNumber"))
        add(tr("Include at least one numeric character"), "number");
    if (flag("atLeastOneCapital"))
        add(tr("Include at least one uppercase character"), "capital");
    if (flag("atLeastOneLowerCase"))
        add(tr("Include at least one lowercase character"), "lowerCase");
    if (flag("accountAndPasswordNotSame"))
        add(tr("Prohibition of a password that is the same as the username"), "account");
    return lines;
}

QStringList CPasswordPolicyCheck::strengthColors(int strength) const
{
    const QString grey = QStringLiteral("#999999");
    switch (strength) {
    case Weak:
        return {QStringLiteral("#ee3124"), grey, grey};
    case Medium:
        return {QStringLiteral("#f5a623"), QStringLiteral("#f5a623"), grey};
    case Strong:
        return {QStringLiteral("#7eb338"), QStringLiteral("#7eb338"), QStringLiteral("#7eb338")};
    default:
        return {grey, grey, grey};
    }
}
