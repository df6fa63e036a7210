#include "ExportNames.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control;
}

bool isSpecial(const QString& name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..");
}

} // namespace

QString safeFileName(const QString& name)
{
    QString text = name.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (isSeparator(text.at(i)))
            start = i + 1;
    }
    QString out;
    for (int i = start; i < text.size(); ++i) {
        if (!isControl(text.at(i)))
            out.append(text.at(i));
    }
    return isSpecial(out) ? QString() : out;
}

QString safeFolderName(const QString& name)
{
    QString out;
    for (QChar c : name)
        out.append(isSeparator(c) || isControl(c) ? QLatin1Char('_') : c);
    return isSpecial(out) ? QStringLiteral("_") : out;
}
