#include "CBatchSetParamConnInfo.h"

CBatchSetParamConnInfo::CBatchSetParamConnInfo(const CDeviceConnInfo& base,
                                               const QList<Command>& commands_)
    : CDeviceConnInfo(base), commands(commands_)
{}
