#include "CBatchSetupCtrl.h"

#include <algorithm>

namespace {

int mapResult(CHttpClient2::ENetworkError result)
{
    switch (result) {
    case CHttpClient2::eSuccess:
        return CBatchSetupCtrl::eAllAccepted;
    case CHttpClient2::eTimeout:
        return CBatchSetupCtrl::eTimeout;
    case CHttpClient2::eAuthFail:
        return CBatchSetupCtrl::eAuthFail;
    case CHttpClient2::eNeedToSetPassword:
        return CBatchSetupCtrl::eNeedPassword;
    default:
        return CBatchSetupCtrl::eFailure;
    }
}

} // namespace

CBatchSetupCtrl::CBatchSetupCtrl(QObject* parent)
    : QObject(parent), m_client(std::make_shared<CHttpClient2>())
{
    connect(m_client.get(), &CHttpClient2::cmdReply, this, &CBatchSetupCtrl::OnReply);
}

CBatchSetupCtrl::~CBatchSetupCtrl()
{
    m_client->disconnect(this);
}

void CBatchSetupCtrl::SetTimeout(int ms)
{
    m_timeoutMs = ms;
    m_client->SetTimeout(ms);
}

void CBatchSetupCtrl::Abort()
{
    m_client->AbortAll();
}

void CBatchSetupCtrl::Cancel()
{
    m_client->OnTimeout();
}

bool CBatchSetupCtrl::IsComplete(int device) const
{
    const QVector<bool>& row = m_flags.at(device);
    return std::all_of(row.begin(), row.end(), [](bool set) { return set; });
}

void CBatchSetupCtrl::FinishIfDone()
{
    if (m_finishedEmitted)
        return;
    for (int i = 0; i < m_flags.size(); ++i) {
        if (!IsComplete(i))
            return;
    }
    m_finishedEmitted = true;
    emit finished();
}

void CBatchSetupCtrl::Start(const QList<CBatchSetParamConnInfo>& devices)
{
    static const QString setParamPath = QStringLiteral("/cgi-bin/admin/setparam.cgi");
    m_flags.clear();
    m_flags.resize(devices.size());
    m_finishedEmitted = false;
    for (int i = 0; i < devices.size(); ++i) {
        QList<CBatchSetParamConnInfo::Command> commands = devices.at(i).commands;
        // Scripts other than setparam go first: they prepare what the parameters then refer to.
        std::stable_sort(
            commands.begin(), commands.end(),
            [](const CBatchSetParamConnInfo::Command& a, const CBatchSetParamConnInfo::Command& b) {
                return a.first != setParamPath && b.first == setParamPath;
            });
        m_flags[i].fill(false, commands.size());
        for (int j = 0; j < commands.size(); ++j) {
            QVariantMap context = devices.at(i).ToContext();
            context.insert(QStringLiteral("context"), QVariantMap{{QStringLiteral("camera"), i},
                                                                  {QStringLiteral("command"), j}});
            m_client->SendPostDevice(context, commands.at(j).first, commands.at(j).second.data());
        }
    }
    // A device with nothing to send is settled at once: everything it was given was applied.
    for (int i = 0; i < m_flags.size(); ++i) {
        if (m_flags.at(i).isEmpty())
            emit changeStatus(i, static_cast<int>(eAllAccepted));
    }
    FinishIfDone();
}

void CBatchSetupCtrl::OnReply(const QVariant& context, CHttpClient2::ENetworkError result,
                              const QVariant& response)
{
    Q_UNUSED(response)
    const QVariantMap tag = context.toMap();
    const int i = tag.value(QStringLiteral("camera"), -1).toInt();
    const int j = tag.value(QStringLiteral("command"), -1).toInt();
    if (i < 0 || i >= m_flags.size() || j < 0 || j >= m_flags.at(i).size() || IsComplete(i))
        return;
    const int mapped = mapResult(result);
    if (mapped == eAllAccepted) {
        m_flags[i][j] = true;
        if (IsComplete(i))
            emit changeStatus(i, mapped);
    } else {
        m_flags[i].fill(true);
        emit changeStatus(i, mapped);
    }
    FinishIfDone();
}
