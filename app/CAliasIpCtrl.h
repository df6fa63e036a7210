#pragma once

#include "CNetworkControl.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

// The QML-facing side of the link-local alias addresses: starts adding or removing them on a
// worker thread and reports through signals, which are emitted on the worker thread and reach
// QML queued.
//
// Construction removes the aliases that an earlier run recorded and left behind (it crashed or
// was killed), whatever "useAliasIP" says now, and then builds the adapter table.
class CAliasIpCtrl : public QObject
{
    Q_OBJECT
public:
    enum E_Invalid_Reason
    {
        Unknown = 0,
        Ok = 1,
        ModuleErr = 2,
        InternetErr = 3,
        BadAlloc = 4
    };
    Q_ENUM(E_Invalid_Reason)

    explicit CAliasIpCtrl(QObject* parent = nullptr);
    explicit CAliasIpCtrl(const CNetworkControl::Options& options, QObject* parent = nullptr);
    ~CAliasIpCtrl() override;

    Q_INVOKABLE bool isValid() const;
    Q_INVOKABLE E_Invalid_Reason constuctionErr() const;
    Q_INVOKABLE bool addAliasIp();
    Q_INVOKABLE bool deleteAliasIp();

signals:
    void addAliasIpFinished();
    void aliasIpAdded();
    void aliasIpAddFailed();
    void aliasIpDeleted();

private:
    void joinWorker();

    E_Invalid_Reason m_constructionError = Unknown;
    std::shared_ptr<CNetworkControl> m_control;
    std::thread m_worker;
    std::atomic<bool> m_busy{false};
};
