#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The optional record of every device response, "HTTPResponse.txt" in the working directory.
// Whether it is written is read from the settings at every record, so switching it on takes effect
// without a restart.
class CHttpResponseLog
{
public:
    // Appends one record when the setting settingKey is true.
    static void Append(const QString& settingKey, const QUrl& url, const QByteArray& body);
    static QString FileName();
};
