#include "CTimeZoneOptionList.h"

CTimeZoneOptionList::CTimeZoneOptionList(QObject* parent) : COptionList(parent)
{
    static const char* const zones[] = {
        "-480", "-440", "-400", "-360", "-320", "-280", "-281", "-240", "-241",
        "-242", "-200", "-201", "-180", "-160", "-140", "-120", "-80",  "-40",
        "0",    "40",   "41",   "80",   "81",   "82",   "83",   "120",  "121",
        "140",  "160",  "180",  "200",  "220",  "230",  "240",  "260",  "280",
        "320",  "360",  "380",  "400",  "401",  "440",  "480",  "481",  "520"};
    for (const char* zone : zones)
        m_zones << QString::fromLatin1(zone);
}

CTimeZoneOptionList::~CTimeZoneOptionList() = default;

void CTimeZoneOptionList::setOpts(const QVariantList&) {}
