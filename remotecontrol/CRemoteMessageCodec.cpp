#include "CRemoteMessageCodec.h"

#include <QJSValue>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

const QStringList& CRemoteMessageCodec::commandNames()
{
    static const QStringList names = [] {
        QStringList list{QStringLiteral("invoke"),
                         QStringLiteral("invokeret"),
                         QStringLiteral("setpro"),
                         QStringLiteral("getpro"),
                         QStringLiteral("click"),
                         QStringLiteral("dbclick"),
                         QStringLiteral("hover"),
                         QStringLiteral("drag"),
                         QStringLiteral("drop"),
                         QStringLiteral("press"),
                         QStringLiteral("keyclick"),
                         QStringLiteral("waitsignal"),
                         QStringLiteral("getmdlitemval"),
                         QStringLiteral("getgrpmdlitemval"),
                         QStringLiteral("getfltmdlitemval"),
                         QStringLiteral("getwinname"),
                         QStringLiteral("emitpluginsignal"),
                         QStringLiteral("movejoystick"),
                         QStringLiteral("joystickbuttonevent"),
                         QStringLiteral("addjoystick")};
        list.sort();
        return list;
    }();
    return names;
}

bool CRemoteMessageCodec::isCommandName(const QString& name)
{
    const QStringList& names = commandNames();
    return std::binary_search(names.cbegin(), names.cend(), name);
}

QList<QByteArray> CRemoteMessageCodec::splitBatch(const QByteArray& batch)
{
    QList<QByteArray> messages;
    QByteArray buffer;
    bool inString = false;
    // A backslash inside a string escapes the next byte, so an escaped quote neither ends the
    // string nor exposes the rest of it to white-space removal.
    bool escaped = false;
    for (const char c : batch) {
        if (inString) {
            buffer.append(c);
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            buffer.append(c);
            continue;
        }
        if (c == '{' && buffer.endsWith('}')) {
            messages.append(buffer);
            buffer.clear();
        }
        if (!isJsonSpace(c))
            buffer.append(c);
    }
    messages.append(buffer);
    return messages;
}

QString CRemoteMessageCodec::messageText(const QByteArray& bytes)
{
    // Clients send UTF-8; reading the bytes as Latin-1 would garble every non-ASCII string.
    return QString::fromUtf8(bytes);
}

bool CRemoteMessageCodec::decode(const QString& text, MessageInfo* info)
{
    *info = MessageInfo();
    if (text.isEmpty())
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (document.isNull() || document.isEmpty() || !document.isObject())
        return false;
    // QVariantMap iterates in key order, so the command and the delay whose names sort last win.
    const QVariantMap members = document.object().toVariantMap();
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        if (isCommandName(it.key())) {
            info->command = it.key();
            info->params = it.value().toMap();
        } else {
            const int delay = it.value().toInt();
            if (delay > 0)
                info->delay = delay;
        }
    }
    return true;
}

QVariant CRemoteMessageCodec::toPlainVariant(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return toPlainVariant(value.value<QJSValue>().toVariant());
    if (value.userType() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = toPlainVariant(it.value());
        return map;
    }
    if (value.userType() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant& element : list)
            element = toPlainVariant(element);
        return list;
    }
    return value;
}

QByteArray CRemoteMessageCodec::encodeReply(bool result, const QVariant& value)
{
    QVariantMap reply;
    reply.insert(QStringLiteral("result"), result);
    if (value.isValid())
        reply.insert(QStringLiteral("value"), value);
    return QJsonDocument(QJsonObject::fromVariantMap(reply)).toJson(QJsonDocument::Indented);
}
