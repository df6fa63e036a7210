#include "CCgiGetDevicesCtrl.h"

#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CGetParamCtrl.h"
#include "ParamReply.h"
#include "Settings.h"

#include <QDateTime>
#include <QFile>
#include <QMap>

const QString CCgiGetDevicesCtrl::kStatusKey = QStringLiteral("cgiget");

CCgiGetDevicesCtrl::CCgiGetDevicesCtrl(QObject* parent)
    : CSetDevicesCtrl(parent), m_runner(new CGetParamCtrl(this))
{
    connect(m_runner, &CGetParamCtrl::changeStatus, this, &CCgiGetDevicesCtrl::cgiGetResultHandler);
    connect(m_runner, &CGetParamCtrl::finished, this, &CCgiGetDevicesCtrl::cgiGetFinishHandler);
}

CCgiGetDevicesCtrl::~CCgiGetDevicesCtrl()
{
    m_runner->disconnect(this);
}

bool CCgiGetDevicesCtrl::Start(const QString& command, bool toFile)
{
    m_toFile = toFile;
    if (readSettingsValue(QStringLiteral("cgiGetUATTest"), false).toBool())
        m_outputFileName = QStringLiteral("cgiUAT.txt");
    else
        m_outputFileName =
            QDateTime::currentDateTime().toString(QStringLiteral("'data_'yyyyMMdd_hhmmss'.txt'"));
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_contexts.clear();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const int status = StatusOf(index, kStatusKey);
        if (status == CCorvaneTableStatus::CgiGetPage_Success ||
            status == CCorvaneTableStatus::CgiGetPage_Loading)
            continue;
        WriteStatus(index, kStatusKey, CCorvaneTableStatus::CgiGetPage_Loading);
        m_contexts.append(RowContext(index));
    }
    if (m_contexts.isEmpty()) {
        // The page reports a refused start rather than a run that did nothing.
        SetWorking(false);
        return false;
    }
    Send(command);
    return true;
}

bool CCgiGetDevicesCtrl::StartWith(const QVariantList& contexts, const QString& command)
{
    m_toFile = false;
    if (m_working || !m_model)
        return false;
    SetWorking(true);
    m_contexts.clear();
    QList<int> rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->index(row, 0).data(CDeviceInfo::selectedRole).toBool())
            rows.append(row);
    }
    if (rows.isEmpty()) {
        for (int row = 0; row < m_model->rowCount(); ++row)
            rows.append(row);
    }
    for (int row : qAsConst(rows)) {
        const QModelIndex index = m_model->index(row, 0);
        const QString alias = index.data(CDeviceInfo::aliasIpRole).toString();
        const QString address =
            alias.isEmpty() ? index.data(CDeviceInfo::ipRole).toString() : alias;
        for (const QVariant& value : contexts) {
            QVariantMap context = value.toMap();
            if (context.value(QStringLiteral("ip")).toString() != address)
                continue;
            context.insert(QStringLiteral("context"),
                           QVariant::fromValue(QPersistentModelIndex(index)));
            m_contexts.append(context);
        }
    }
    Send(command);
    return true;
}

void CCgiGetDevicesCtrl::Abort()
{
    if (m_working)
        m_runner->Abort();
}

void CCgiGetDevicesCtrl::SplitCommand(const QString& command, QString* path,
                                      QStringList* parameters)
{
    const QStringList pieces = command.split(QLatin1Char('?'));
    *path = pieces.value(0);
    parameters->clear();
    if (pieces.size() > 1)
        *parameters = pieces.at(1).split(QLatin1Char('&'));
}

void CCgiGetDevicesCtrl::Send(const QString& command)
{
    if (m_contexts.isEmpty()) {
        SetWorking(false);
        emit allCmdSent();
        return;
    }
    QString path;
    QStringList parameters;
    SplitCommand(command, &path, &parameters);
    m_runner->SetPath(path);
    m_runner->SetParameters(parameters);
    m_runner->Start(m_contexts);
}

QByteArray CCgiGetDevicesCtrl::AnswerText(const QByteArray& message)
{
    QMap<QString, QString> sorted;
    const auto pairs = parseParamPairs(message);
    for (const auto& pair : pairs)
        sorted.insert(pair.first, pair.second);
    QByteArray text;
    for (auto it = sorted.constBegin(); it != sorted.constEnd(); ++it) {
        text += it.value().toUtf8();
        text += "\n\n";
    }
    return text;
}

void CCgiGetDevicesCtrl::AppendAnswer(const QVariant& response)
{
    QFile file(m_outputFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    file.write(AnswerText(response.toMap().value(QStringLiteral("message")).toByteArray()));
}

void CCgiGetDevicesCtrl::cgiGetResultHandler(const QVariant& context,
                                             CHttpClient2::ENetworkError result,
                                             const QVariant& response)
{
    int code = CCorvaneTableStatus::CgiGetPage_UnknownFail;
    switch (result) {
    case CHttpClient2::eSuccess:
        if (m_toFile)
            AppendAnswer(response);
        code = CCorvaneTableStatus::CgiGetPage_Success;
        break;
    case CHttpClient2::eTimeout:
        code = CCorvaneTableStatus::CgiGetPage_Timeout;
        break;
    case CHttpClient2::eAuthFail:
        code = CCorvaneTableStatus::CgiGetPage_AuthFail;
        break;
    default:
        break;
    }
    WriteStatus(IndexFromContext(context), kStatusKey, code);
}

void CCgiGetDevicesCtrl::cgiGetFinishHandler()
{
    SetWorking(false);
    emit allCmdSent();
}
