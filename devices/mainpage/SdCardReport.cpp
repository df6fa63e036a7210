#include "SdCardReport.h"

#include <QRegularExpression>

namespace {

quint64 firstNumber(const QRegularExpression& expression, const QString& text)
{
    const QRegularExpressionMatch match = expression.match(text);
    return match.hasMatch() ? match.captured(1).toULongLong() : 0;
}

} // namespace

SdCardState parseSdCardStatus(const QString& report)
{
    static const QRegularExpression item(QStringLiteral("<i\\d>(.+?)<\\/i\\d>"));
    static const QRegularExpression total(QStringLiteral("<totalsize>(\\d+)<\\/totalsize>"));
    static const QRegularExpression used(QStringLiteral("<usedspace>(\\d+)<\\/usedspace>"));
    static const QRegularExpression cond(QStringLiteral("<cond>(.+?)<\\/cond>"));

    QRegularExpressionMatchIterator items = item.globalMatch(report);
    while (items.hasNext()) {
        const QString card = items.next().captured(0);
        const QRegularExpressionMatch condMatch = cond.match(card);
        const QString condition = condMatch.hasMatch() ? condMatch.captured(1) : QString();
        if (condition == QLatin1String("detached"))
            continue;
        const quint64 totalSize = firstNumber(total, card);
        const quint64 usedSpace = firstNumber(used, card);
        SdCardState state;
        state.condition = condition;
        if (totalSize != 0)
            state.usage = QString::number(double(usedSpace) * 100.0 / double(totalSize), 'f', 2);
        return state;
    }
    return {QStringLiteral("detached"), QString()};
}
