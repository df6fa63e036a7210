#include "ModelNames.h"

#include <QStringList>

namespace {

const char* const kRecorderPrefixes[] = {"NV", "NR", "ND", "W", "X"};

const char* const kNonCameraPrefixes[] = {"SW", "PSW", "DVR", "XVR", "HVR", "AW", "MS"};

template <size_t N> bool startsWithAny(const QString& text, const char* const (&prefixes)[N])
{
    for (const char* prefix : prefixes) {
        if (text.startsWith(QLatin1String(prefix), Qt::CaseSensitive))
            return true;
    }
    return false;
}

} // namespace

bool isRecorderModel(const QString& text)
{
    return startsWithAny(text, kRecorderPrefixes);
}

bool hasNonCameraPrefix(const QString& text)
{
    return startsWithAny(text, kNonCameraPrefixes);
}

bool isOtherDevice(const QString& text)
{
    return hasNonCameraPrefix(text) || isRecorderModel(text);
}

QString firmwareFromInfo(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('-'));
    return pieces.size() == 3 ? pieces.at(2) : text;
}

QString modelFromInfo(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('-'));
    return pieces.size() == 3 ? pieces.at(0) : text;
}
