#pragma once

#include "COptionList.h"

#include <QString>

#include <memory>

// One setting known to the batch-setup pages: a UID on a channel and the option list behind it.
struct UISetEntry
{
    QString uid;
    int channel = 0;
    std::shared_ptr<COptionList> set; // null only if the list could not be created
};
