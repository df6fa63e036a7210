#pragma once

#include <QObject>
#include <memory>

class CDeviceSearcher;
class CDeviceSearcherCtrl;

// Stops a controller's discovery on a thread of its own, so that the user interface never waits
// for the library to wind down.
class CRangeStopper : public QObject
{
    Q_OBJECT

public:
    // Takes the controller's searcher; holding it keeps it alive even if the controller goes away
    // while the stop is still running.
    explicit CRangeStopper(CDeviceSearcherCtrl* owner);

public slots:
    void process();

signals:
    void finished();

private:
    std::shared_ptr<CDeviceSearcher> m_searcher;
};
