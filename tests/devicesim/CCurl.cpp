#include "CCurl.h"

#include <QProcess>
#include <QTemporaryFile>

QByteArray CCurl::SResult::header(const QByteArray& name) const
{
    for (const QByteArray& line : headers.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

CCurl::SResult CCurl::run(const QStringList& arguments, int timeoutMs)
{
    SResult result;
    QTemporaryFile headerFile;
    if (!headerFile.open())
        return result;
    QProcess curl;
    QStringList args{"-s", "-k", "-D", headerFile.fileName(), "--noproxy", "*"};
    args << arguments;
    curl.start(QStringLiteral(DEVSIM_CURL), args);
    if (!curl.waitForFinished(timeoutMs)) {
        curl.kill();
        curl.waitForFinished();
        return result;
    }
    result.exitCode = curl.exitCode();
    result.body = curl.readAllStandardOutput();
    const QByteArray all = headerFile.readAll();
    // With redirects or authentication, curl writes one header block per response.
    const int last = all.lastIndexOf("HTTP/");
    result.headers = last >= 0 ? all.mid(last) : all;
    const QList<QByteArray> statusLine =
        result.headers.left(result.headers.indexOf('\n')).split(' ');
    result.status = statusLine.value(1).toInt();
    return result;
}

CCurl::SResult CCurl::get(const QString& url, const QString& user, const QString& password,
                          const QString& auth)
{
    QStringList args;
    if (!user.isNull())
        args << ("--" + auth) << "-u" << (user + ":" + password);
    args << url;
    return run(args);
}
