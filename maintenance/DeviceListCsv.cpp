#include "DeviceListCsv.h"

#include <QStringList>

QString csvField(const QString& value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1String("\",");
}

QString brandColumn(const QString& firmwareInfo)
{
    const QStringList parts = firmwareInfo.split(QLatin1Char('-'));
    if (parts.size() < 2 || parts.at(1) == QLatin1String("QXOR"))
        return QStringLiteral("QXOR");
    return QString();
}

QString networkTypeColumn(const QString& resetIp)
{
    if (resetIp == QLatin1String("0"))
        return QStringLiteral("Fixed");
    if (resetIp == QLatin1String("1"))
        return QStringLiteral("DHCP");
    return resetIp;
}

QString macColumn(const QString& serial)
{
    QString text = serial;
    if (text.count(QLatin1Char(':')) == 5)
        text.remove(QLatin1Char(':'));
    if (text.contains(QLatin1Char(':')))
        return text.replace(QLatin1Char(':'), QLatin1Char('-'));
    // A dash before every second character counted from the end, as the device list shows MACs.
    QString mac;
    const int length = text.size();
    for (int i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 2 == 0)
            mac.append(QLatin1Char('-'));
        mac.append(text.at(i));
    }
    return mac;
}
