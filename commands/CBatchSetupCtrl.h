#pragma once

#include "CBatchSetParamConnInfo.h"
#include "CHttpClient2.h"

#include <QObject>
#include <QVector>
#include <memory>

// Sends each device its prepared POSTs and settles the device once: with 6 when all were
// accepted, or with the first failure.
class CBatchSetupCtrl : public QObject
{
    Q_OBJECT
public:
    enum EBatchResult
    {
        eAllAccepted = 6,
        eFailure = 1,
        eAuthFail = 3,
        eTimeout = 4,
        eNeedPassword = 5
    };

    explicit CBatchSetupCtrl(QObject* parent = nullptr);
    ~CBatchSetupCtrl() override;

    void Start(const QList<CBatchSetParamConnInfo>& devices);
    void SetTimeout(int ms);
    void Abort();
    void Cancel();

    std::shared_ptr<CHttpClient2> Client() const { return m_client; }

signals:
    void changeStatus(int iCurrListIdx, const QVariant& result);
    void finished();

private:
    void OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                 const QVariant& response);
    bool IsComplete(int device) const;
    void FinishIfDone();

    int m_timeoutMs = 60000;
    std::shared_ptr<CHttpClient2> m_client;
    QVector<QVector<bool>> m_flags;
    bool m_finishedEmitted = false;
};
