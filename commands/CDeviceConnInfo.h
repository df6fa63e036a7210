#pragma once

#include <QString>
#include <QVariantMap>

// Names one device for a command: where it is, how to reach it and which credentials to offer.
class CDeviceConnInfo
{
public:
    CDeviceConnInfo() = default;
    CDeviceConnInfo(const QString& ip, const QString& username, const QString& password,
                    quint16 httpPort, quint16 httpsPort);
    virtual ~CDeviceConnInfo() = default;
    CDeviceConnInfo(const CDeviceConnInfo&) = default;
    CDeviceConnInfo& operator=(const CDeviceConnInfo&) = default;

    // A request context without "context" and request-specific keys; the caller adds those.
    QVariantMap ToContext() const;

    QString ip;
    QString username;
    QString password;
    quint16 httpPort = 80;
    quint16 httpsPort = 443;
};
