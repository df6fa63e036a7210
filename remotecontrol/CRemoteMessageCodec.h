#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The remote-control wire format without any socket: cutting a batch of received bytes into
// messages, decoding one message into a command, and encoding a reply. Kept free of I/O so that
// it can be exercised byte by byte.
class CRemoteMessageCodec
{
public:
    // One decoded message.
    struct MessageInfo
    {
        QString command;    // empty when the message named no command
        QVariantMap params; // the command's parameter object
        int delay = 0;      // milliseconds to wait before executing; 0 = at once
    };

    // The 20 command names, sorted.
    static const QStringList& commandNames();
    static bool isCommandName(const QString& name);

    // Cuts one batch of bytes into messages. A message ends where "}" is followed, white space
    // aside, by "{" outside a string, and at the end of the batch; white space outside strings is
    // dropped. The last element is whatever the batch ended with, possibly empty.
    static QList<QByteArray> splitBatch(const QByteArray& batch);

    // The text of one message as it joins the queue.
    static QString messageText(const QByteArray& bytes);

    // Decodes a message. Returns false when the text is not a JSON object; a JSON object without a
    // command name decodes to an empty command.
    static bool decode(const QString& text, MessageInfo* info);

    // Converts script values (as QML functions return them) into plain variants, so that script
    // objects and arrays reach the reply as JSON objects and arrays.
    static QVariant toPlainVariant(const QVariant& value);

    // The reply: indented JSON with "result" and, when value is valid, "value".
    static QByteArray encodeReply(bool result, const QVariant& value);
};
