#include "DeviceSearchRunner.h"

#include "CDeviceInfo.h"
#include "Settings.h"

#include <QAbstractItemModel>
#include <QMutexLocker>
#include <chrono>
#include <future>

namespace {

constexpr int kVerifying = 301; // the IP-assignment page's "verifying" status
constexpr int kSuccess = 302;
constexpr int kTimeout = 306;

} // namespace

DeviceSearchRunner::DeviceSearchRunner(QObject* parent)
    : QThread(parent), m_port(quint16(readSettingsValue(QStringLiteral("drmPort"), 5678).toUInt())),
      m_shared(std::make_shared<Shared>())
{
    m_searcher.setCallback([this](const CDeviceSearchInfo& info) { match(info); });
}

DeviceSearchRunner::~DeviceSearchRunner()
{
    requestStop();
    wait();
    m_searcher.stop();
}

void DeviceSearchRunner::setContexts(const QList<QVariantMap>& contexts)
{
    QList<QPersistentModelIndex> indexes;
    for (const QVariantMap& context : contexts) {
        const QVariant v = context.value(QStringLiteral("context"));
        if (v.userType() == qMetaTypeId<QPersistentModelIndex>())
            indexes << v.value<QPersistentModelIndex>();
        else
            indexes << QPersistentModelIndex(v.value<QModelIndex>());
    }
    m_shared->indexes = indexes;
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->rows = QList<Row>();
}

void DeviceSearchRunner::setMutex(QMutex* mutex)
{
    m_mutex = mutex;
}

void DeviceSearchRunner::setModel(QAbstractItemModel* model)
{
    m_model = model;
}

void DeviceSearchRunner::setRange(bool ranged, const QString& first, const QString& last,
                                  int seconds)
{
    m_ranged = ranged;
    m_first = first;
    m_last = last;
    m_rangeMs = seconds * 1000;
}

void DeviceSearchRunner::requestStop()
{
    m_stop = true;
    std::lock_guard<std::mutex> lock(m_sleepMutex);
    m_sleepCond.notify_all();
}

bool DeviceSearchRunner::sleepMs(int ms)
{
    std::unique_lock<std::mutex> lock(m_sleepMutex);
    return !m_sleepCond.wait_for(lock, std::chrono::milliseconds(ms),
                                 [this] { return m_stop.load(); });
}

// Runs work on the model's thread and waits for it, giving up if a stop is requested (the work
// then still runs later, but touches only shared state, never this object).
bool DeviceSearchRunner::onModelThread(std::function<void()> work)
{
    QAbstractItemModel* model = m_model.data();
    if (!model)
        return false;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        model,
        [work, done] {
            work();
            done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (m_stop)
            return false;
    }
    return true;
}

bool DeviceSearchRunner::refreshRows()
{
    std::shared_ptr<Shared> shared = m_shared;
    QMutex* mutex = m_mutex;
    return onModelThread([shared, mutex] {
        QMutexLocker locker(mutex);
        QList<Row> rows;
        for (const QPersistentModelIndex& index : shared->indexes) {
            Row row;
            row.present = index.isValid();
            if (row.present) {
                const QVariant status = index.data(CDeviceInfo::statusRole);
                row.status = status.isValid() ? status.toInt() : -1;
                row.model = index.data(CDeviceInfo::modelRole).toString();
                row.mac = index.data(CDeviceInfo::macRole).toString();
                row.firmwareInfo = index.data(CDeviceInfo::firmwareInfoRole).toString();
                row.httpPort = index.data(CDeviceInfo::httpPortRole).toInt();
            }
            rows << row;
        }
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->rows = rows;
    });
}

bool DeviceSearchRunner::anyVerifying()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    for (const Row& row : m_shared->rows) {
        if (row.present && row.status == kVerifying)
            return true;
    }
    return false;
}

void DeviceSearchRunner::match(const CDeviceSearchInfo& info)
{
    if (info.ip.startsWith(QLatin1String("169.254")))
        return;
    const QString mac = info.macText(false);
    QList<int> hits;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        for (int i = 0; i < m_shared->rows.size(); ++i) {
            Row& row = m_shared->rows[i];
            if (row.present && row.status == kVerifying && row.model == info.modelName &&
                row.mac.compare(mac, Qt::CaseInsensitive) == 0 &&
                row.firmwareInfo == info.firmwareInfo && row.httpPort == info.httpPort) {
                row.status = kSuccess;
                hits << i;
            }
        }
    }
    QAbstractItemModel* model = m_model.data();
    if (hits.isEmpty() || !model)
        return;
    std::shared_ptr<Shared> shared = m_shared;
    QMutex* mutex = m_mutex;
    const QString ip = info.ip;
    QMetaObject::invokeMethod(
        model,
        [shared, mutex, hits, ip, model] {
            QMutexLocker locker(mutex);
            for (int i : hits) {
                const QPersistentModelIndex& index = shared->indexes.at(i);
                if (!index.isValid() || index.model() != model)
                    continue;
                model->setData(index, ip, CDeviceInfo::newIpRole);
                model->setData(index, kSuccess, CDeviceInfo::statusRole);
            }
        },
        Qt::QueuedConnection);
}

void DeviceSearchRunner::run()
{
    m_stop = false;
    int passes = 0;
    for (;;) {
        if (!refreshRows() && m_stop)
            return;
        if (!anyVerifying())
            break;
        if (!sleepMs(m_waitMs))
            return;
        if (m_ranged) {
            m_rangeMs = qMax(m_rangeMs, m_waitMs);
            m_searcher.startRange(m_port, m_first, m_last);
            sleepMs(m_rangeMs);
        } else {
            m_searcher.start(m_port, 1);
            sleepMs(m_searchMs);
        }
        m_searcher.stop();
        if (m_stop)
            return;
        if (++passes >= m_maxPasses) {
            std::shared_ptr<Shared> shared = m_shared;
            QMutex* mutex = m_mutex;
            QAbstractItemModel* model = m_model.data();
            const bool marked = onModelThread([shared, mutex, model] {
                QMutexLocker locker(mutex);
                for (const QPersistentModelIndex& index : shared->indexes) {
                    if (index.isValid() && index.model() == model &&
                        index.data(CDeviceInfo::statusRole).toInt() == kVerifying)
                        model->setData(index, kTimeout, CDeviceInfo::statusRole);
                }
            });
            if (!marked && m_stop)
                return;
            break;
        }
    }
    emit allVerified();
}
