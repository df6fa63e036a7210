#include "CDeviceSearchInfo.h"

#include "AddressHelpers.h"
#include "pyxera.h"

#include <QStringList>
#include <cstring>

namespace {

QString textAt(const unsigned char* record, int offset, int slot)
{
    const char* p = reinterpret_cast<const char*>(record + offset);
    return QString::fromUtf8(p, int(qstrnlen(p, uint(slot))));
}

quint16 u16At(const unsigned char* record, int offset)
{
    return quint16(record[offset] | (record[offset + 1] << 8));
}

} // namespace

CDeviceSearchInfo CDeviceSearchInfo::fromRecord(const void* record)
{
    const auto* r = static_cast<const unsigned char*>(record);
    CDeviceSearchInfo info;
    info.firmwareInfo = textAt(r, PYXERA_REC_INFO, PYXERA_REC_MAC - PYXERA_REC_INFO);
    std::memcpy(info.mac.data(), r + PYXERA_REC_MAC, info.mac.size());
    const QString ip = textAt(r, PYXERA_REC_IP, PYXERA_REC_MODEL - PYXERA_REC_IP);
    info.ipValid = isValidIPv4(ip);
    info.ip = info.ipValid ? ip : QStringLiteral("0.0.0.0");
    info.modelName = textAt(r, PYXERA_REC_MODEL, PYXERA_REC_HTTP_PORT - PYXERA_REC_MODEL);
    info.httpPort = u16At(r, PYXERA_REC_HTTP_PORT);
    info.extraNumber =
        quint32(u16At(r, PYXERA_REC_NUMBER)) | (quint32(u16At(r, PYXERA_REC_NUMBER + 2)) << 16);
    info.extra = textAt(r, PYXERA_REC_EXTRA, PYXERA_REC_CMS_PORT - PYXERA_REC_EXTRA);
    info.cmsPort = u16At(r, PYXERA_REC_CMS_PORT);
    info.httpsPort = u16At(r, PYXERA_REC_HTTPS_PORT);
    return info;
}

QString CDeviceSearchInfo::macText(bool upperCase) const
{
    QStringList pairs;
    for (quint8 b : mac)
        pairs << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
    const QString text = pairs.join(QLatin1Char('-'));
    return upperCase ? text.toUpper() : text;
}
