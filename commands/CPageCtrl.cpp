#include "CPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CModelCtrl.h"
#include "CSetDevicesCtrl.h"
#include "CStatusMapFilterModel.h"
#include "CStatusMapSortModel.h"

namespace {

// The device roles a page copies from the main list, in the order they are written.
const QList<int> kCopiedRoles{CDeviceInfo::modelRole,
                              CDeviceInfo::ipRole,
                              CDeviceInfo::macRole,
                              CDeviceInfo::firmwareInfoRole,
                              CDeviceInfo::firmwareRole,
                              CDeviceInfo::usernameRole,
                              CDeviceInfo::passwordRole,
                              CDeviceInfo::httpPortRole,
                              CDeviceInfo::httpsPortRole,
                              CDeviceInfo::aliasIpRole,
                              CDeviceInfo::cameraModelNameRole,
                              CDeviceInfo::sdCardStatusRole};

} // namespace

CPageCtrl::CPageCtrl(QObject* parent) : QObject(parent), m_pageList(new CDeviceListModel(this)) {}

CPageCtrl::~CPageCtrl() = default;

void CPageCtrl::enterPage()
{
    if (!m_mainModelCtrl) {
        emit enterPageFailed(0);
        return;
    }
    if (!CopySelectedDevices())
        emit enterPageFailed(0);
    m_leaving = false;
}

void CPageCtrl::leavePage()
{
    m_leaving = true;
}

void CPageCtrl::start()
{
    OnStart();
}

void CPageCtrl::startOnFailed() {}

int CPageCtrl::progress() const
{
    return m_progress;
}

int CPageCtrl::errorCount() const
{
    return m_errorCount;
}

QString CPageCtrl::statusKey() const
{
    return m_statusKey;
}

int CPageCtrl::pageStatus() const
{
    return m_pageStatus;
}

bool CPageCtrl::SetMainModelCtrl(QObject* ctrl)
{
    auto* modelCtrl = qobject_cast<CModelCtrl*>(ctrl);
    if (!modelCtrl)
        return false;
    m_mainModelCtrl = modelCtrl;
    return true;
}

QAbstractItemModel* CPageCtrl::DevicesModel() const
{
    return m_devicesModel;
}

QObject* CPageCtrl::DevicesModelCtrl() const
{
    return m_devicesModelCtrl;
}

QAbstractItemModel* CPageCtrl::FailedModel() const
{
    return m_failedModel;
}

void CPageCtrl::OnStart() {}

bool CPageCtrl::CopySelectedDevices()
{
    if (!m_mainModelCtrl || !m_pageList)
        return false;
    m_copiedRows = m_mainModelCtrl->selectedRows();
    m_mainModelCtrl->copySelectedTo(m_pageList, kCopiedRoles);
    return true;
}

void CPageCtrl::SetupModels()
{
    // The layers carry defaults that depend on the page's status key, which only the derived page
    // knows; it calls this once from its constructor.
    if (m_statusLayer)
        return;
    const QString key = statusKey();
    m_selectionLayer =
        new CAppendedDataModel("selectedRole", CDeviceInfo::selectedRole, QVariant(), this);
    m_selectionLayer->setSourceModel(m_pageList);
    m_statusLayer =
        new CAppendedDataModel("statusRole", CDeviceInfo::statusRole, QVariantMap{{key, -1}}, this);
    m_statusLayer->setSourceModel(m_selectionLayer);
    m_devicesModel = new CStatusMapSortModel(this);
    m_devicesModel->setStatusKey(key);
    m_devicesModel->setSourceModel(m_statusLayer);
    m_devicesModelCtrl = new CModelCtrl(m_devicesModel, this);
    m_failedModel = new CStatusMapFilterModel(this);
    m_failedModel->setStatusKey(key);
    m_failedModel->setSourceModel(m_devicesModel);
    // Statuses live in the status layer, so that is where their changes are announced.
    connect(m_statusLayer, &QAbstractItemModel::dataChanged, this, &CPageCtrl::OnDeviceStatusChange,
            Qt::DirectConnection);
}

void CPageCtrl::AttachDevicesCtrl() {}

void CPageCtrl::setProgress(int progress)
{
    if (m_progress == progress)
        return;
    m_progress = progress;
    emit progressChanged();
}

void CPageCtrl::setErrorCount(int count)
{
    if (m_errorCount == count)
        return;
    m_errorCount = count;
    emit errorCountChanged();
}

void CPageCtrl::setStatusKey(const QString& key)
{
    if (m_statusKey == key)
        return;
    m_statusKey = key;
    emit statusKeyChanged();
}

void CPageCtrl::setPageStatus(int status)
{
    if (m_pageStatus == status)
        return;
    m_pageStatus = status;
    emit pageStatusChanged();
}

bool CPageCtrl::IsLeaving() const
{
    return m_leaving;
}

int CPageCtrl::ComputeProgress() const
{
    return m_progress;
}

void CPageCtrl::SetFailureCodes(const QList<int>& codes)
{
    if (m_failedModel)
        m_failedModel->setAcceptedStatuses(codes);
}

int CPageCtrl::RowCount() const
{
    return m_statusLayer ? m_statusLayer->rowCount() : 0;
}

int CPageCtrl::StatusAt(int row) const
{
    if (!m_statusLayer)
        return -1;
    return CSetDevicesCtrl::StatusOf(m_statusLayer->index(row, 0), statusKey());
}

void CPageCtrl::RebuildStatusCache() const
{
    const int rows = RowCount();
    m_rowStatus.resize(rows);
    m_statusCounts.clear();
    for (int row = 0; row < rows; ++row) {
        m_rowStatus[row] = StatusAt(row);
        ++m_statusCounts[m_rowStatus[row]];
    }
    m_statusCacheValid = true;
}

const QMap<int, int>& CPageCtrl::StatusCounts() const
{
    if (!m_statusCacheValid)
        RebuildStatusCache();
    return m_statusCounts;
}

int CPageCtrl::CountRows(const std::function<bool(int)>& predicate) const
{
    int count = 0;
    const QMap<int, int>& counts = StatusCounts();
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (predicate(it.key()))
            count += it.value();
    }
    return count;
}

void CPageCtrl::RefreshFailedModel()
{
    if (m_failedModel)
        m_failedModel->refresh();
}

void CPageCtrl::OnCtrlComplete() {}

void CPageCtrl::OnDeviceStatusChange(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                     const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CDeviceInfo::statusRole))
        return;
    if (m_statusCacheValid && topLeft.isValid() && bottomRight.isValid() &&
        bottomRight.row() < m_rowStatus.size()) {
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
            const int status = StatusAt(row);
            int& old = m_rowStatus[row];
            if (status == old)
                continue;
            if (--m_statusCounts[old] == 0)
                m_statusCounts.remove(old);
            ++m_statusCounts[status];
            old = status;
        }
    } else {
        m_statusCacheValid = false;
    }
    setProgress(ComputeProgress());
}
