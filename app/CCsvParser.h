#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

// A line-by-line reader of the comma-separated files the program uses: device-pack tables,
// template files and device-list imports. Fields may be wrapped in double quotes to hold commas;
// there is no escaping of quotes inside a field.
class CCsvParser
{
public:
    // Opens path read-only in text mode. codecName, when given, selects the text codec;
    // otherwise the stream keeps its default.
    explicit CCsvParser(const QString& path, const char* codecName = nullptr);
    CCsvParser(const CCsvParser&) = delete;
    CCsvParser& operator=(const CCsvParser&) = delete;

    bool IsOpen() const { return m_open; }
    bool HasNext() const;
    void ReadLine();
    QString CurrentLine() const;
    QStringList Fields() const;

    // The field split applied by Fields(), usable on any text.
    static QStringList SplitFields(const QString& line);

private:
    bool m_open = false;
    std::shared_ptr<QFile> m_file;
    QTextStream m_stream;
    QString m_line;
};
