#include "AddressHelpers.h"

#include <QStringList>
#include <QVector>

bool isValidIPv4(const QString& text)
{
    return parseIPv4(text, nullptr);
}

bool parseIPv4(const QString& text, quint32* value)
{
    quint32 accumulated = 0;
    int groups = 0;
    int digits = 0;
    int groupValue = 0;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('.')) {
            if (digits == 0 || groups == 3)
                return false;
            accumulated = accumulated * 256u + quint32(groupValue);
            ++groups;
            digits = 0;
            groupValue = 0;
            continue;
        }
        const ushort c = ch.unicode();
        if (c < '0' || c > '9' || digits == 3)
            return false;
        groupValue = groupValue * 10 + (c - '0');
        if (groupValue > 255)
            return false;
        ++digits;
    }
    if (groups != 3 || digits == 0)
        return false;
    if (value)
        *value = accumulated * 256u + quint32(groupValue);
    return true;
}

quint32 ipv4ToUInt(const QString& text)
{
    quint32 value = 0;
    const QVector<QStringRef> groups = text.splitRef(QLatin1Char('.'));
    for (const QStringRef& group : groups)
        value = value * 256u + group.toUInt();
    return value;
}

QString uintToIPv4(quint32 value)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((value >> 24) & 0xffu)
        .arg((value >> 16) & 0xffu)
        .arg((value >> 8) & 0xffu)
        .arg(value & 0xffu);
}
