#pragma once

#include "COptionList.h"

// The camera's time-zone index values (UTC offset in hours times 40; one to three above a multiple
// of 40 names a further zone with the same offset). The choices are fixed and never replaced.
class CTimeZoneOptionList : public COptionList
{
    Q_OBJECT

public:
    explicit CTimeZoneOptionList(QObject* parent = nullptr);
    ~CTimeZoneOptionList() override;

    const QVariantList& opts() const override { return m_zones; }
    void setOpts(const QVariantList& list) override;

private:
    QVariantList m_zones;
};
