#include "CDeviceSearcherCtrl.h"

#include "CRangeStopper.h"
#include "ModelNames.h"
#include "Settings.h"

#include <QDebug>
#include <QThread>

CDeviceSearcherCtrl::CDeviceSearcherCtrl(QObject* parent)
    : QObject(parent), m_searcher(std::make_shared<CDeviceSearcher>()),
      m_port(quint16(readSettingsValue(QStringLiteral("drmPort"), 5678).toUInt())),
      m_searchTime(readSettingsValue(QStringLiteral("searchTimeMs"), 5000).toInt()),
      m_showAllBrand(readSettingsValue(QStringLiteral("showAllBrand"), false).toBool()),
      m_brands(brandList())
{
    registerDeviceMetaTypes();
    m_searcher->setCallback([this](const CDeviceSearchInfo& info) { handleAnswer(info); });
    m_searchTimer.setSingleShot(false);
    // A coarse timer may fire up to 5 % early; the search must last the time the user chose.
    m_searchTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_searchTimer, &QTimer::timeout, this, &CDeviceSearcherCtrl::StopSearchDevices);
    connect(&m_progressTimer, &QTimer::timeout, this, &CDeviceSearcherCtrl::progressChanged);
}

CDeviceSearcherCtrl::~CDeviceSearcherCtrl()
{
    // The answer handler refers to this object: no answer may arrive once it is gone. A stopper
    // thread still running keeps the searcher alive, and its stop is serialised with this one.
    m_searcher->stop();
    m_searcher->setCallback(nullptr);
}

QStringList CDeviceSearcherCtrl::brandList()
{
    return {QStringLiteral("QXOR")};
}

bool CDeviceSearcherCtrl::isSearching() const
{
    return m_searchTimer.isActive();
}

void CDeviceSearcherCtrl::setNVOnly(bool nvOnly)
{
    m_nvOnly = nvOnly;
}

void CDeviceSearcherCtrl::setShowAllBrands(bool showAll)
{
    m_showAllBrand = showAll;
}

void CDeviceSearcherCtrl::handleAnswer(const CDeviceSearchInfo& info)
{
    if (m_nvOnly && !isRecorderModel(info.firmwareInfo)) {
        qDebug().noquote() << "throw away:" << info.firmwareInfo;
        return;
    }
    auto device = std::make_shared<CDeviceInfo>();
    device->model = info.modelName;
    device->cameraModelName = info.modelName;
    device->ip = info.ip;
    device->mac = info.macText(true);
    device->firmwareInfo = info.firmwareInfo;
    device->firmware = firmwareFromInfo(info.firmwareInfo);
    device->httpPort = info.httpPort;
    device->httpsPort = info.httpsPort;
    device->cmsPort = info.cmsPort;
    device->drmSearched = true;
    if (device->ip == QLatin1String("0.0.0.0"))
        return;
    if (!m_showAllBrand) {
        const QStringList pieces = info.firmwareInfo.split(QLatin1Char('-'));
        if (pieces.size() >= 2 && !m_brands.contains(pieces.at(1)))
            return;
    }
    emit deviceFound(device);
}

void CDeviceSearcherCtrl::stopTimers()
{
    const bool was = m_searchTimer.isActive();
    m_searchTimer.stop();
    m_progressTimer.stop();
    if (was)
        emit searchingChanged();
}

bool CDeviceSearcherCtrl::start()
{
    if (m_searchTimer.isActive())
        return false;
    qDebug().noquote() << "Starting DeviceSearcher";
    m_searchTimer.start(m_searchTime);
    emit searchingChanged();
    return m_searcher->start(m_port, 1);
}

bool CDeviceSearcherCtrl::startRange(const QString& first, const QString& last, int seconds)
{
    if (m_searchTimer.isActive())
        return false;
    m_duration = seconds < 1 ? m_searchTime : qint64(seconds) * 1000;
    m_searchTimer.start(int(m_duration));
    m_progressTimer.start(1000);
    m_elapsed.restart();
    emit searchingChanged();
    emit progressChanged();
    return m_searcher->startRange(m_port, first, last);
}

double CDeviceSearcherCtrl::progress() const
{
    if (!m_elapsed.isValid() || m_duration <= 0)
        return 0.0;
    return double(m_elapsed.elapsed()) * 100.0 / double(m_duration);
}

void CDeviceSearcherCtrl::StopSearchDevices()
{
    qDebug().noquote() << "Closing DeviceSearcher";
    stopTimers();
    m_searcher->stop();
    emit searchStopped();
}

void CDeviceSearcherCtrl::abort()
{
    qDebug().noquote() << "abort Closing DeviceSearcher";
    stopTimers();
    m_searcher->stop();
}

void CDeviceSearcherCtrl::WorkerStop()
{
    emit searchStopped();
}

void CDeviceSearcherCtrl::stopInBackground()
{
    auto* stopper = new CRangeStopper(this);
    auto* thread = new QThread;
    stopper->moveToThread(thread);
    connect(thread, &QThread::started, stopper, &CRangeStopper::process);
    connect(stopper, &CRangeStopper::finished, thread, &QThread::quit);
    connect(stopper, &CRangeStopper::finished, this, &CDeviceSearcherCtrl::WorkerStop);
    connect(stopper, &CRangeStopper::finished, stopper, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    stopTimers();
}
