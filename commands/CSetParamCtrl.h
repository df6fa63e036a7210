#pragma once

#include "CHttpClient2.h"

#include <QObject>
#include <memory>

// Posts each context's "data" to one CGI path and reports every device's reply.
class CSetParamCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CSetParamCtrl(QObject* parent = nullptr);
    ~CSetParamCtrl() override;

    int Timeout() const { return m_timeoutMs; }
    QString Path() const { return m_path; }
    std::shared_ptr<CHttpClient2> Client() const { return m_client; }

public slots:
    virtual void Start(const QVariantList& contexts);
    virtual void Abort();
    virtual void SetPath(const QString& path);
    virtual void SetTimeout(int ms);

signals:
    void changeStatus(const QVariant& context, CHttpClient2::ENetworkError result,
                      const QVariant& response);
    void finished();

protected slots:
    void cameraReplied(const QVariant& context, CHttpClient2::ENetworkError result,
                       const QVariant& response);

private:
    std::shared_ptr<CHttpClient2> m_client;
    QVariantList m_contexts;
    QString m_path = QStringLiteral("/cgi-bin/admin/setparam.cgi");
    int m_timeoutMs = 60000;
    int m_replies = 0;
};
