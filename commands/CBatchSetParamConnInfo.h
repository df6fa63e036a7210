#pragma once

#include "CDeviceConnInfo.h"

#include <QIODevice>
#include <QList>
#include <QPair>
#include <QPointer>

// A device of a batch setup run with the POST requests to send to it. The body devices are
// shared between copies; sending one hands it to the request, which releases it when done, so a
// body is sent once.
class CBatchSetParamConnInfo : public CDeviceConnInfo
{
public:
    using Command = QPair<QString, QPointer<QIODevice>>;

    CBatchSetParamConnInfo() = default;
    CBatchSetParamConnInfo(const CDeviceConnInfo& base, const QList<Command>& commands);

    QList<Command> commands;
};
