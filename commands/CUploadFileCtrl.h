#pragma once

#include "CHttpClient2.h"

#include <QObject>
#include <memory>

// Wakes every device with a short GET, then uploads each context's file to one CGI path.
class CUploadFileCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CUploadFileCtrl(QObject* parent = nullptr);
    ~CUploadFileCtrl() override;

    int Timeout() const { return m_timeoutMs; }
    std::shared_ptr<CHttpClient2> Client() const { return m_client; }

public slots:
    virtual void Start(const QVariantList& contexts);
    virtual void Abort();
    virtual void SetPartName(const QString& name);
    virtual void SetPath(const QString& path);
    virtual void SetTimeout(int ms);

signals:
    void changeStatus(const QVariant& context, CHttpClient2::ENetworkError result,
                      const QVariant& response);
    void finished();

private:
    void OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                 const QVariant& response);

    QString m_path;
    QString m_partName;
    std::shared_ptr<CHttpClient2> m_client;
    int m_timeoutMs = 360000;
    int m_replies = 0;
    QVariantList m_contexts;
    bool m_probing = false;
};
