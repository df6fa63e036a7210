#include "CAliasIpCtrl.h"

#include "CScodeError.h"

#include <QtDebug>
#include <new>
#include <stdexcept>

CAliasIpCtrl::CAliasIpCtrl(QObject* parent) : CAliasIpCtrl(CNetworkControl::Options(), parent) {}

CAliasIpCtrl::CAliasIpCtrl(const CNetworkControl::Options& options, QObject* parent)
    : QObject(parent)
{
    CNetworkControl::removeRecordedAliases();
    try {
        m_control = std::make_shared<CNetworkControl>(options);
        m_constructionError = Ok;
    } catch (const std::bad_alloc&) {
        m_constructionError = BadAlloc;
    } catch (const CScodeError& error) {
        qDebug() << "CAliasIpCtrl::CAliasIpCtrl" << error.what() << Qt::hex << error.code();
        m_constructionError = ModuleErr;
    } catch (const std::runtime_error& error) {
        qDebug() << "CAliasIpCtrl::CAliasIpCtrl" << error.what();
        m_constructionError = InternetErr;
    } catch (...) {
        m_constructionError = Unknown;
    }
}

CAliasIpCtrl::~CAliasIpCtrl()
{
    if (m_control)
        m_control->cancel();
    joinWorker();
    // The control's destruction removes the aliases and neighbour entries an add left.
    m_control.reset();
}

bool CAliasIpCtrl::isValid() const
{
    return m_constructionError == Ok;
}

CAliasIpCtrl::E_Invalid_Reason CAliasIpCtrl::constuctionErr() const
{
    return m_constructionError;
}

void CAliasIpCtrl::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CAliasIpCtrl::addAliasIp()
{
    if (!m_control || m_busy || m_constructionError != Ok) {
        emit aliasIpAddFailed();
        emit addAliasIpFinished();
        return false;
    }
    joinWorker();
    m_busy = true;
    m_worker = std::thread([this, control = m_control] {
        if (control->addAliases())
            emit aliasIpAdded();
        else
            emit aliasIpAddFailed();
        m_busy = false;
        emit addAliasIpFinished();
    });
    return true;
}

bool CAliasIpCtrl::deleteAliasIp()
{
    if (!m_control || m_busy || m_constructionError != Ok)
        return false;
    joinWorker();
    m_busy = true;
    m_worker = std::thread([this, control = m_control] {
        if (control->aliasesAdded())
            control->removeAliases();
        emit aliasIpDeleted();
        m_busy = false;
    });
    return true;
}
