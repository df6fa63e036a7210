#pragma once

#include <QObject>
#include <QStringList>

// Asks one device which applications it carries. process() blocks on its request, so it runs on
// a worker thread; the answer leaves through finished, five texts per module: device IP, name,
// version, status and index.
class Worker : public QObject
{
    Q_OBJECT
public:
    Worker(const QString& ip, const QString& httpPort, const QString& httpsPort,
           const QString& username, const QString& password);

    // The module records a getparam reply body stands for, for the device at ip.
    static QStringList ParseModules(const QString& ip, const QByteArray& body);

public slots:
    void process();

signals:
    void finished(const QStringList& resultList);

private:
    QString m_ip;
    QString m_httpPort;
    QString m_httpsPort;
    QString m_username;
    QString m_password;
};
