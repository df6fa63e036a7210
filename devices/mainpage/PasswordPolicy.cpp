#include "PasswordPolicy.h"

#include <QStringList>

namespace {

// A device whose length text has no "~" names only a minimum; the longest password any of the
// devices accepts stands in for the missing maximum.
constexpr int kMaximumWithoutRange = 64;

} // namespace

QString defaultPasswordSpecialCharacters()
{
    return QStringLiteral("!\\%\\-\\.@\\^_~");
}

QVariantMap passwordPolicyRule(const QMap<QString, QString>& values)
{
    QString special = values.value(QStringLiteral("layout_defaultpassword_specialcharacter"));
    if (special.isEmpty())
        special = defaultPasswordSpecialCharacters();

    QString length = values.value(QStringLiteral("layout_defaultpassword_length"));
    if (length.isEmpty())
        length = QStringLiteral("8~64");
    int minLength = 0;
    int maxLength = kMaximumWithoutRange;
    const int tilde = length.indexOf(QLatin1Char('~'));
    if (tilde < 0) {
        minLength = length.toInt();
    } else {
        minLength = length.left(tilde).toInt();
        maxLength = length.mid(tilde + 1).toInt();
    }

    const QString typeText = values.value(QStringLiteral("layout_defaultpassword_type"));
    const int type = typeText.isEmpty() ? 5 : typeText.toInt();

    QVariantMap rule;
    rule.insert(QStringLiteral("specialCharacters"), special);
    rule.insert(QStringLiteral("minPasswordLength"), minLength);
    rule.insert(QStringLiteral("maxPasswordLength"), maxLength);
    rule.insert(QStringLiteral("atLeastOneAlphabet"), (type & 0x01) != 0);
    rule.insert(QStringLiteral("atLeastOneSpecialCharacters"), (type & 0x02) != 0);
    rule.insert(QStringLiteral("atLeastOneNumber"), (type & 0x04) != 0);
    rule.insert(QStringLiteral("atLeastOneLowerCase"), (type & 0x08) != 0);
    rule.insert(QStringLiteral("atLeastOneCapital"), (type & 0x10) != 0);
    rule.insert(QStringLiteral("accountAndPasswordNotSame"), (type & 0x20) != 0);
    return rule;
}
