#include "CRangeStopper.h"

#include "CDeviceSearcher.h"
#include "CDeviceSearcherCtrl.h"

CRangeStopper::CRangeStopper(CDeviceSearcherCtrl* owner) : m_searcher(owner->searcher()) {}

void CRangeStopper::process()
{
    if (m_searcher)
        m_searcher->stop();
    emit finished();
}
