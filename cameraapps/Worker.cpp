#include "Worker.h"

#include "CHttpClient.h"

#include <QHash>
#include <QUrl>
#include <QtDebug>

Worker::Worker(const QString& ip, const QString& httpPort, const QString& httpsPort,
               const QString& username, const QString& password)
    : m_ip(ip), m_httpPort(httpPort), m_httpsPort(httpsPort), m_username(username),
      m_password(password)
{}

QStringList Worker::ParseModules(const QString& ip, const QByteArray& body)
{
    QHash<QString, QString> values;
    const QStringList lines = QString::fromUtf8(body).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const int next = line.indexOf(QLatin1Char('='), eq + 1);
        QString value = line.mid(eq + 1, next < 0 ? -1 : next - eq - 1);
        value.remove(QLatin1Char('\''));
        values.insert(line.left(eq), value);
    }
    QStringList result;
    if (values.value(QStringLiteral("zapk_module_number")).toInt() <= 0)
        return result;
    // The slots are always 0 to 9, whatever the number says.
    for (int i = 0; i < 10; ++i) {
        const QString prefix = QStringLiteral("zapk_module_i%1_").arg(i);
        QString name = values.value(prefix + QStringLiteral("extendedname"));
        if (name.isEmpty())
            name = values.value(prefix + QStringLiteral("name"));
        if (name.isEmpty())
            continue;
        result << ip << name << values.value(prefix + QStringLiteral("version"))
               << values.value(prefix + QStringLiteral("status")) << QString::number(i);
    }
    return result;
}

void Worker::process()
{
    QUrl url;
    const int httpPort = m_httpPort.toInt();
    if (httpPort != 0) {
        url.setScheme(QStringLiteral("http"));
        url.setPort(httpPort);
    } else {
        url.setScheme(QStringLiteral("https"));
        url.setPort(m_httpsPort.toInt());
    }
    url.setHost(m_ip);
    url.setPath(QStringLiteral("/cgi-bin/admin/getparam.cgi"));
    url.setQuery(QStringLiteral("zapk_module"));
    QStringList result;
    {
        // Made on the thread that runs the request, and gone before the answer leaves.
        CHttpClient client;
        client.SetTimeout(30000);
        client.Get(url, m_username, m_password);
        switch (client.Result()) {
        case CHttpClient::eReplyOk:
            result = ParseModules(m_ip, client.ReadBody());
            break;
        case CHttpClient::eReplyTimeout:
            qDebug() << "FirmwarePageCtrl ZAPK Timeout";
            break;
        case CHttpClient::eNoReply:
        case CHttpClient::eReplyError:
            qDebug() << "FirmwarePageCtrl ZAPK NetworkError";
            break;
        default:
            qDebug() << "FirmwarePageCtrl ZAPK unknown error";
            break;
        }
    }
    emit finished(result);
}
