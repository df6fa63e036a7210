#include "CCustomizeCheckingOptionList.h"

CCustomizeCheckingOptionList::CCustomizeCheckingOptionList(QObject* parent) : COptionList(parent) {}

CCustomizeCheckingOptionList::~CCustomizeCheckingOptionList() = default;

void CCustomizeCheckingOptionList::setOpts(const QVariantList& list)
{
    const QString current = currentOpt();
    if (!list.isEmpty() && list.contains(QVariant(QStringLiteral("%s"))) && !current.isEmpty()) {
        bool currentOk = false;
        const int currentValue = current.toInt(&currentOk, 10);
        if (currentOk) {
            const QString last = list.last().toString();
            bool lastOk = false;
            const int lastValue = last.toInt(&lastOk, 10);
            if (lastOk && lastValue < currentValue)
                setCurrentOpt(last);
        }
    }
    COptionList::setOpts(list);
}
