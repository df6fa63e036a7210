#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Name/value pairs of a getparam.cgi reply, in reply order; repeated names are all kept.
using ParamPairs = QList<QPair<QString, QString>>;

// Parses a getparam reply body: UTF-8 lines separated by "\r\n" of the form name=value. Lines
// without "=" or starting with "=" are skipped; a value of two or more characters enclosed in
// single quotes loses the quotes.
ParamPairs parseParamPairs(const QByteArray& body);
