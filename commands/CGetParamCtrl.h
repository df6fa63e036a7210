#pragma once

#include "CHttpClient2.h"

#include <QObject>
#include <QStringList>
#include <memory>

// Sends one GET per device, either one path and parameter list for all or each context's own,
// and reports every device's reply.
class CGetParamCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CGetParamCtrl(QObject* parent = nullptr);
    ~CGetParamCtrl() override;

    int Timeout() const { return m_timeoutMs; }
    QString Path() const { return m_path; }
    QStringList Parameters() const { return m_parameters; }
    std::shared_ptr<CHttpClient2> Client() const { return m_client; }

public slots:
    virtual void Start(const QVariantList& contexts);
    virtual void StartEach(const QVariantList& contexts);
    virtual void Abort();
    virtual void SetPath(const QString& path);
    virtual void SetParameters(const QStringList& parameters);
    virtual void SetTimeout(int ms);

signals:
    void changeStatus(const QVariant& context, CHttpClient2::ENetworkError result,
                      const QVariant& response);
    void finished();

private:
    void Begin(const QVariantList& contexts);
    void OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                 const QVariant& response);

    QString m_path = QStringLiteral("/cgi-bin/admin/getparam.cgi");
    QStringList m_parameters;
    int m_timeoutMs = 60000;
    std::shared_ptr<CHttpClient2> m_client;
    int m_replies = 0;
    QVariantList m_contexts;
};
