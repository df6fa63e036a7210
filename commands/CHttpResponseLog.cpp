#include "CHttpResponseLog.h"

#include "Settings.h"

#include <QDateTime>
#include <QFile>

QString CHttpResponseLog::FileName()
{
    return QStringLiteral("HTTPResponse.txt");
}

bool CHttpResponseLog::IsEnabled(const QString& settingKey)
{
    return readSettingsValue(settingKey, false).toBool();
}

void CHttpResponseLog::Append(const QString& settingKey, const QUrl& url, const QByteArray& body)
{
    if (!IsEnabled(settingKey))
        return;
    QFile file(FileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray record =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz")).toUtf8();
    record += ' ';
    record += url.toString(QUrl::FullyEncoded).toUtf8();
    record += "\r\n";
    record += body;
    record += "\r\n";
    file.write(record);
}
