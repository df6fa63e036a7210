#include "ZapkLicensePageCtrlLogic.h"

#include "FileWrapper.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

ZapkLicensePageCtrlLogic::ZapkLicensePageCtrlLogic()
    : m_factory([] { return std::make_shared<FileWrapper>(); })
{}

ZapkLicensePageCtrlLogic::ZapkLicensePageCtrlLogic(
    std::function<std::shared_ptr<FileWrapper>()> factory)
    : m_factory(std::move(factory))
{}

QString ZapkLicensePageCtrlLogic::formatMac(const QString& digits)
{
    static const QRegularExpression kTwelveHex(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    if (!kTwelveHex.match(digits).hasMatch())
        return QString();
    QStringList groups;
    for (int i = 0; i < digits.size(); i += kSeparatorGroupLength)
        groups << digits.mid(i, kSeparatorGroupLength);
    return groups.join(QLatin1Char('-'));
}

QString ZapkLicensePageCtrlLogic::macFromXml(const QString& path) const
{
    const std::shared_ptr<FileWrapper> file = m_factory();
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly) || file->size() > kMaxXmlBytes)
        return QString();
    QXmlStreamReader xml(file->device());
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("MAC"))
            return formatMac(xml.readElementText());
    }
    return QString();
}

QString ZapkLicensePageCtrlLogic::macFromName(const QString& path) const
{
    const std::shared_ptr<FileWrapper> file = m_factory();
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly))
        return QString();
    const int slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString base = path.mid(slash + 1);
    const int dot = base.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        base.truncate(dot);
    return formatMac(base);
}

QString ZapkLicensePageCtrlLogic::macOf(const QString& path) const
{
    const QString mac = macFromXml(path);
    return mac.isEmpty() ? macFromName(path) : mac;
}
