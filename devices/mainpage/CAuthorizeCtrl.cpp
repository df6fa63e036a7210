#include "CAuthorizeCtrl.h"

#include "CCgiGetDevicesCtrl.h"
#include "CDeviceConnInfo.h"
#include "CGetParamValueCtrl.h"
#include "DeviceIdentity.h"
#include "SdCardReport.h"
#include "Settings.h"

#include <QAbstractItemModel>
#include <QUrl>

const QString CAuthorizeCtrl::kIdentityPath = QStringLiteral("/cgi-bin/admin/getparam.cgi");
const QStringList CAuthorizeCtrl::kIdentityParameters = {
    QStringLiteral("system_info_extendedmodelname"), QStringLiteral("system_info_serialnumber"),
    QStringLiteral("system_info_firmwareversion"), QStringLiteral("system_info_modelname")};
const QString CAuthorizeCtrl::kSdCardPath = QStringLiteral("/cgi-bin/admin/lsctrl.cgi");
const QString CAuthorizeCtrl::kNewPasswordCommand = QStringLiteral(
    "/factorymode/cgi-bin/admin/editaccount.cgi?method=edit&userpass=%1&username=root");

namespace {

const QString kContext = QStringLiteral("context");
const QString kIp = QStringLiteral("ip");

} // namespace

CAuthorizeCtrl::CAuthorizeCtrl(QObject* parent)
    : QObject(parent), m_passwordSetter(new CCgiGetDevicesCtrl(this)),
      m_policyReader(new CGetParamValueCtrl(this)), m_infoClient(std::make_shared<CHttpClient2>()),
      m_sdClient(std::make_shared<CHttpClient2>())
{
    m_infoClient->SetTimeout(
        readSettingsValue(QStringLiteral("authorizeTimeoutMs"), 30000).toInt());
    m_sdClient->SetTimeout(
        readSettingsValue(QStringLiteral("getSDCardStatusTimeoutMs"), 30000).toInt());
    connect(m_infoClient.get(), &CHttpClient2::cmdReply, this,
            &CAuthorizeCtrl::handleGetCameraInfoResponse);
    connect(m_sdClient.get(), &CHttpClient2::cmdReply, this,
            &CAuthorizeCtrl::handleGetSDCardStatus);
    connect(m_passwordSetter, &CSetDevicesCtrl::allCmdSent, this,
            &CAuthorizeCtrl::onNewPasswordSent);
}

CAuthorizeCtrl::~CAuthorizeCtrl()
{
    // Replies of aborted requests must not reach a half-destroyed controller.
    m_infoClient->disconnect(this);
    m_sdClient->disconnect(this);
}

void CAuthorizeCtrl::setModel(QAbstractItemModel* model)
{
    m_model = model;
}

void CAuthorizeCtrl::preTest()
{
    authorize(QStringLiteral("root"), QString(), true);
}

RoleMap CAuthorizeCtrl::jobMatchMap(const QVariantMap& job)
{
    RoleMap match;
    const int addressRole = job.value(QStringLiteral("isAliasIp")).toBool()
                                ? CDeviceInfo::aliasIpRole
                                : CDeviceInfo::ipRole;
    match.insert(addressRole, job.value(kIp));
    match.insert(CDeviceInfo::httpPortRole, job.value(QStringLiteral("httpPort")));
    match.insert(CDeviceInfo::usernameRole, job.value(QStringLiteral("username")));
    match.insert(CDeviceInfo::passwordRole, job.value(QStringLiteral("password")));
    return match;
}

void CAuthorizeCtrl::authorize(const QString& username, const QString& password, bool preAuth)
{
    m_username = username;
    m_password = password;
    if (!m_model) {
        emit authorizeFinished();
        return;
    }

    QList<int> rows;
    if (m_model->rowCount() > 0) {
        const QModelIndexList selected =
            m_model->match(m_model->index(0, 0), CDeviceInfo::selectedRole, true, -1,
                           Qt::MatchStartsWith | Qt::MatchWrap);
        for (const QModelIndex& index : selected)
            rows.append(index.row());
    }
    if (rows.isEmpty() && !preAuth) {
        for (int row = 0; row < m_model->rowCount(); ++row)
            rows.append(row);
    }

    QVariantList newJobs;
    for (const int row : qAsConst(rows)) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = index.data(CDeviceInfo::statusRole).toInt();
        const bool take = preAuth ? status == Empty : (status != Success && status != Testing);
        if (!take)
            continue;
        m_model->setData(index, int(Testing), CDeviceInfo::statusRole);
        m_model->setData(index, username, CDeviceInfo::usernameRole);
        m_model->setData(index, password, CDeviceInfo::passwordRole);

        const QString alias = index.data(CDeviceInfo::aliasIpRole).toString();
        const QString address =
            alias.isEmpty() ? index.data(CDeviceInfo::ipRole).toString() : alias;
        const int httpPort = index.data(CDeviceInfo::httpPortRole).toInt();
        const int httpsPort = index.data(CDeviceInfo::httpsPortRole).toInt();
        QVariantMap job;
        job.insert(kIp, address);
        job.insert(QStringLiteral("username"), username);
        job.insert(QStringLiteral("password"), password);
        job.insert(QStringLiteral("httpPort"), httpPort);
        job.insert(QStringLiteral("httpsPort"), httpsPort);
        job.insert(QStringLiteral("preAuth"), preAuth);
        job.insert(QStringLiteral("isAliasIp"), !alias.isEmpty());
        job.insert(kContext, QStringLiteral("%1_%2_%3").arg(address).arg(httpPort).arg(httpsPort));
        m_pendingJobs.append(job);
        newJobs.append(job);
    }

    if (m_pendingJobs.isEmpty()) {
        emit authorizeFinished();
        return;
    }
    m_needPasswordJobs.clear();
    m_infoClient->SendGet(newJobs, kIdentityPath, kIdentityParameters);
}

QVariantList CAuthorizeCtrl::takeJob(QVariantList* jobs, const QString& context)
{
    for (int i = 0; i < jobs->size(); ++i) {
        if (jobs->at(i).toMap().value(kContext).toString() == context)
            return {jobs->takeAt(i)};
    }
    return {};
}

void CAuthorizeCtrl::handleGetCameraInfoResponse(const QVariant& context,
                                                 CHttpClient2::ENetworkError result,
                                                 const QVariant& response)
{
    const QVariantList taken = takeJob(&m_pendingJobs, context.toString());
    if (taken.isEmpty())
        return;
    const QVariantMap job = taken.first().toMap();
    RoleMap match = jobMatchMap(job);
    match.insert(CDeviceInfo::statusRole, int(Testing));

    int status = UnknownFail;
    switch (result) {
    case CHttpClient2::eSuccess:
        emit deviceInfoFound(
            match, identityInfo(response.toMap().value(QStringLiteral("message")).toByteArray()));
        m_foundJobs.append(job);
        status = Success;
        break;
    case CHttpClient2::eFail:
    case CHttpClient2::eMoved:
    case CHttpClient2::eNetworkError:
        status = ServerNotFound;
        break;
    case CHttpClient2::eTimeout:
        status = Timeout;
        break;
    case CHttpClient2::eAuthFail:
        status = AuthFail;
        break;
    case CHttpClient2::eNeedToSetPassword:
        ++m_needPasswordCount;
        m_needPasswordJobs.append(job);
        status = NeedToSetPassword;
        break;
    default:
        status = UnknownFail;
        break;
    }
    if (result != CHttpClient2::eSuccess && job.value(QStringLiteral("preAuth")).toBool())
        status = PreTestFailed;
    emit deviceStatusChanged(match, RoleMap{{CDeviceInfo::statusRole, status}});

    if (!m_pendingJobs.isEmpty())
        return;
    emit authorizeFinished();
    if (m_needPasswordCount >= 1)
        emit needToSetPasswordSignal();
    m_sdPendingJobs.append(m_foundJobs);
    const QVariantList found = m_foundJobs;
    m_foundJobs.clear();
    m_needPasswordCount = 0;
    m_sdClient->SendGet(found, kSdCardPath, {QStringLiteral("cmd=queryStatus")});
}

void CAuthorizeCtrl::handleGetSDCardStatus(const QVariant& context, CHttpClient2::ENetworkError,
                                           const QVariant& response)
{
    const QVariantList taken = takeJob(&m_sdPendingJobs, context.toString());
    if (taken.isEmpty())
        return;
    const SdCardState state = parseSdCardStatus(
        QString::fromUtf8(response.toMap().value(QStringLiteral("message")).toByteArray()));
    emit deviceInfoFound(jobMatchMap(taken.first().toMap()),
                         RoleMap{{CDeviceInfo::sdCardStatusRole, state.condition},
                                 {CDeviceInfo::sdCardUseRole, state.usage}});
}

void CAuthorizeCtrl::abort()
{
    m_infoClient->AbortAll();
    m_infoClient->ClearAccessCache();
    m_sdClient->AbortAll();
    m_sdClient->ClearAccessCache();
    emit authorizeFinished();
}

QVariantMap CAuthorizeCtrl::getPasswordPolicyRuleForSetNewPassword(int index)
{
    if (index >= 0 && index < m_needPasswordJobs.size()) {
        const QVariantMap job = m_needPasswordJobs.at(index).toMap();
        const CDeviceConnInfo conn(job.value(kIp).toString(),
                                   job.value(QStringLiteral("username")).toString(),
                                   job.value(QStringLiteral("password")).toString(),
                                   quint16(job.value(QStringLiteral("httpPort")).toUInt()),
                                   quint16(job.value(QStringLiteral("httpsPort")).toUInt()));
        m_policyReader->readPasswordPolicy(conn, true);
    }
    return m_policyReader->passwordPolicyRule();
}

void CAuthorizeCtrl::setNewFWPassword(const QString& password)
{
    m_passwordSetter->SetModel(m_model);
    // A refused start leaves the rows as they are: a running setter owns them.
    if (!m_model || m_passwordSetter->IsWorking())
        return;
    // The command is later split at "&" and "=", so the password travels percent-encoded: a
    // password holding "&", "%", "=" or "+" reaches the device as typed.
    const QString command =
        kNewPasswordCommand.arg(QString::fromLatin1(QUrl::toPercentEncoding(password)));
    // The rows are marked before the first command leaves. Status changes reach the model
    // queued, and a device may answer before a mark queued after the start: the late mark
    // would then hide the answer, and the row would never be authorized again.
    markNeedPasswordRows(Testing);
    // Stored first: the setter may report the command sent before StartWith returns.
    const QString previousPassword = m_newPassword;
    m_newPassword = password;
    if (!m_passwordSetter->StartWith(m_needPasswordJobs, command)) {
        m_newPassword = previousPassword;
        markNeedPasswordRows(NeedToSetPassword);
    }
}

void CAuthorizeCtrl::markNeedPasswordRows(E_Test_Conn_Result status)
{
    for (const QVariant& value : qAsConst(m_needPasswordJobs)) {
        RoleMap match = jobMatchMap(value.toMap());
        match.remove(CDeviceInfo::passwordRole);
        emit deviceStatusChanged(match, RoleMap{{CDeviceInfo::statusRole, int(status)}});
    }
}

void CAuthorizeCtrl::onNewPasswordSent()
{
    emit newPasswordAuthorizeStart();
    authorize(m_username, m_newPassword, false);
}
