#pragma once

#include "CHttpClient2.h"

#include <QHash>
#include <QObject>
#include <memory>

// Sends several GETs (commands) to every device; each reply is handed out to be saved, and each
// device is settled once, with the result of whichever of its commands finished last.
class CExportFileCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CExportFileCtrl(QObject* parent = nullptr);
    ~CExportFileCtrl() override;

    std::shared_ptr<CHttpClient2> Client() const { return m_client; }

public slots:
    virtual void Start(const QVariantList& devices, const QVariantList& commands);
    virtual void Abort();

signals:
    void saveFile(const QVariant& context, CHttpClient2::ENetworkError result,
                  const QVariant& response);
    void changeStatus(const QVariant& context, CHttpClient2::ENetworkError result,
                      const QVariant& response);
    void finished();

protected slots:
    void cameraReplied(const QVariant& context, CHttpClient2::ENetworkError result,
                       const QVariant& response);

private:
    static QString ExportKey(const QVariant& context);

    std::shared_ptr<CHttpClient2> m_client;
    int m_finishedDevices = 0;
    int m_timeoutMs = 30000;
    QVariantList m_devices;
    QHash<QString, int> m_outstanding;
};
