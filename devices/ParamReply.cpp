#include "ParamReply.h"

#include <QVector>

ParamPairs parseParamPairs(const QByteArray& body)
{
    ParamPairs pairs;
    // Decode every byte: QString::fromUtf8(QByteArray) would stop at the first NUL and silently
    // drop the rest of the reply.
    const QString text = QString::fromUtf8(body.constData(), body.size());
    const QVector<QStringRef> lines = text.splitRef(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QStringRef& line : lines) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        QStringRef value = line.mid(eq + 1);
        if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) &&
            value.endsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        pairs.append(qMakePair(line.left(eq).toString(), value.toString()));
    }
    return pairs;
}
