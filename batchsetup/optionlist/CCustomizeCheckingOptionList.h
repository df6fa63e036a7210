#pragma once

#include "COptionList.h"

// An option list for a maximum frame rate with free input: when new choices arrive, a numeric
// chosen value above the largest offered one is lowered to it.
class CCustomizeCheckingOptionList : public COptionList
{
    Q_OBJECT

public:
    explicit CCustomizeCheckingOptionList(QObject* parent = nullptr);
    ~CCustomizeCheckingOptionList() override;

    void setOpts(const QVariantList& list) override;
};
