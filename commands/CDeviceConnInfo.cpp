#include "CDeviceConnInfo.h"

CDeviceConnInfo::CDeviceConnInfo(const QString& ip_, const QString& username_,
                                 const QString& password_, quint16 httpPort_, quint16 httpsPort_)
    : ip(ip_), username(username_), password(password_), httpPort(httpPort_), httpsPort(httpsPort_)
{}

QVariantMap CDeviceConnInfo::ToContext() const
{
    QVariantMap context;
    context.insert(QStringLiteral("ip"), ip);
    context.insert(QStringLiteral("httpPort"), static_cast<int>(httpPort));
    context.insert(QStringLiteral("httpsPort"), static_cast<int>(httpsPort));
    context.insert(QStringLiteral("username"), username);
    context.insert(QStringLiteral("password"), password);
    return context;
}
