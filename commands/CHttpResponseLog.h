#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The optional record of every device response, "HTTPResponse.txt" in the working directory.
// Whether it is written follows the settings file at every record, so switching it on takes effect
// without a restart.
class CHttpResponseLog
{
public:
    // Appends one record when the setting settingKey is true.
    static void Append(const QString& settingKey, const QUrl& url, const QByteArray& body);
    // Whether records are written for settingKey now.
    static bool IsEnabled(const QString& settingKey);
    static QString FileName();
};
