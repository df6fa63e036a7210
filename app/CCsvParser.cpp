#include "CCsvParser.h"

#include <QDebug>

CCsvParser::CCsvParser(const QString& path, const char* codecName)
    : m_file(std::make_shared<QFile>(path))
{
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "cannot open file in CCsvParser::CCsvParser";
        return;
    }
    m_open = true;
    m_stream.setDevice(m_file.get());
    if (codecName)
        m_stream.setCodec(codecName);
}

bool CCsvParser::HasNext() const
{
    return m_open && !m_stream.atEnd();
}

void CCsvParser::ReadLine()
{
    if (m_open)
        m_line = m_stream.readLine();
}

QString CCsvParser::CurrentLine() const
{
    return m_open ? m_line : QString();
}

QStringList CCsvParser::Fields() const
{
    if (!m_open)
        return {};
    return SplitFields(m_line);
}

QStringList CCsvParser::SplitFields(const QString& line)
{
    const QStringList parts = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
    const QLatin1Char quote('"');
    QStringList fields;
    fields.reserve(parts.size());
    int i = 0;
    while (i < parts.size()) {
        if (!parts[i].startsWith(quote)) {
            fields << parts[i];
            ++i;
            continue;
        }
        // A quoted field runs until a part that ends with a quote; the commas between its parts
        // belong to the field. An unterminated field takes the rest of the line.
        QString field;
        while (i < parts.size() && !parts[i].endsWith(quote)) {
            field += parts[i];
            field += QLatin1Char(',');
            ++i;
        }
        if (i < parts.size()) {
            field += parts[i];
            ++i;
        }
        if (field.endsWith(quote))
            field.chop(1);
        if (field.startsWith(quote))
            field.remove(0, 1);
        fields << field;
    }
    return fields;
}
