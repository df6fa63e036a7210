#include "COptionList.h"

COptionList::COptionList(QObject* parent) : CAbstractUISet(parent) {}

COptionList::~COptionList() = default;

void COptionList::setOpts(const QVariantList& list)
{
    if (list == m_opts) // shared data or element-wise equal
        return;
    m_opts = list;
    emit optsChanged();
}

void COptionList::setCurrentOpt(const QString& text)
{
    if (text == m_currentOpt)
        return;
    m_currentOpt = text;
    m_dirty = true;
    emit currentOptChanged();
}
