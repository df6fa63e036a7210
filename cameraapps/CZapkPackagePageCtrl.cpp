#include "CZapkPackagePageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CStatusMapFilterModel.h"
#include "CUploadZapkPackageCtrl.h"
#include "CZapkPackagePageInfo.h"
#include "CZapkPackagePageModel.h"

#include <QMutexLocker>
#include <QtDebug>

const QString CZapkPackagePageCtrl::kStatusKey = QStringLiteral("package");

CZapkPackagePageCtrl::CZapkPackagePageCtrl(QObject* parent)
    : CPageCtrl(parent), m_uploadCtrl(new CUploadZapkPackageCtrl(this)),
      m_pageModel(new CZapkPackagePageModel(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_uploadCtrl, &CUploadZapkPackageCtrl::allVerified, this,
            &CZapkPackagePageCtrl::OnCtrlComplete);
    // Direct, so that the running group's progress follows each status write at once.
    connect(StatusLayer(), &QAbstractItemModel::dataChanged, this,
            &CZapkPackagePageCtrl::OnDeviceStatusChange, Qt::DirectConnection);
}

CZapkPackagePageCtrl::~CZapkPackagePageCtrl()
{
    m_uploadCtrl->disconnect(this);
    // The groups' views sit on the page's device view: they go first.
    m_pageModel->clear();
}

QString CZapkPackagePageCtrl::statusKey() const
{
    return kStatusKey;
}

QStringList CZapkPackagePageCtrl::WaitingQueue() const
{
    QMutexLocker lock(&m_queueMutex);
    return QStringList(m_waitingQueue.begin(), m_waitingQueue.end());
}

void CZapkPackagePageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    SetFailureCodes({CCorvaneTableStatus::ZapkPackagePage_Fail,
                     CCorvaneTableStatus::ZapkPackagePage_NetworkError,
                     CCorvaneTableStatus::ZapkPackagePage_CannotOpenFile,
                     CCorvaneTableStatus::ZapkPackagePage_AuthFail,
                     CCorvaneTableStatus::ZapkPackagePage_Timeout});
}

void CZapkPackagePageCtrl::AttachDevicesCtrl()
{
    m_uploadCtrl->SetModel(StatusLayer());
}

QVariant CZapkPackagePageCtrl::GroupValue(int row, int role) const
{
    return m_pageModel->data(m_pageModel->index(row, 0), role);
}

void CZapkPackagePageCtrl::SetGroupValue(int row, int role, const QVariant& value)
{
    m_pageModel->setData(m_pageModel->index(row, 0), value, role);
}

void CZapkPackagePageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    {
        QMutexLocker lock(&m_queueMutex);
        m_waitingQueue.clear();
    }
    m_pageModel->clear();
    m_groupCounter = 0;
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CZapkPackagePageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    if (m_uploadCtrl->IsWorking())
        m_uploadCtrl->Abort();
    setPageStatus(Nothing);
}

int CZapkPackagePageCtrl::addFilePath(const QUrl& fileUrl)
{
    const QString path = fileUrl.isLocalFile() ? fileUrl.toLocalFile() : fileUrl.toString();
    m_pageModel->insertRows(0, 1);
    SetGroupValue(0, CZapkPackagePageModel::firmwarePathRole, path);
    SetGroupValue(0, CZapkPackagePageModel::fileDescriptionRole,
                  fileUrl.fileName(QUrl::FullyDecoded));
    const QString statusIndex = QString::number(++m_groupCounter);
    SetGroupValue(0, CZapkPackagePageModel::statusIndexRole, statusIndex);
    m_uploadCtrl->ClearGroup(statusIndex);
    SetGroupValue(0, CZapkPackagePageModel::countRole, DevicesModel()->rowCount());
    SetGroupValue(0, CZapkPackagePageModel::progressRole, 0);
    if (const auto record = m_pageModel->recordAt(0))
        record->bindViews(DevicesModel());
    RemoveSucceededGroups();
    return 0;
}

void CZapkPackagePageCtrl::RemoveSucceededGroups()
{
    for (int row = m_pageModel->rowCount() - 1; row >= 0 && m_pageModel->rowCount() > 1; --row) {
        if (GroupValue(row, CZapkPackagePageModel::statusRole).toInt() == Finished &&
            GroupValue(row, CZapkPackagePageModel::errorCountRole).toInt() == 0)
            m_pageModel->removeRows(row, 1);
    }
}

void CZapkPackagePageCtrl::start(int iPageModelRow)
{
    const QString prefix = QStringLiteral("CZapkPackagePageCtrl::start error: ");
    if (iPageModelRow < 0 || iPageModelRow >= m_pageModel->rowCount()) {
        qDebug().noquote() << prefix + QStringLiteral("Invalid group index ") +
                                  QString::number(iPageModelRow);
        emit startFailed(0);
        return;
    }
    if (GroupValue(iPageModelRow, CZapkPackagePageModel::firmwarePathRole).toString().isEmpty()) {
        qDebug().noquote() << prefix + QStringLiteral("File path is not set");
        emit startFailed(0);
        return;
    }
    const int status = GroupValue(iPageModelRow, CZapkPackagePageModel::statusRole).toInt();
    if (status == Waiting || status == Working) {
        qDebug().noquote() << prefix + QStringLiteral("Cannot starts a unfinished group");
        emit startFailed(0);
        return;
    }
    const QString statusIndex =
        GroupValue(iPageModelRow, CZapkPackagePageModel::statusIndexRole).toString();
    m_uploadCtrl->ResetGroupToWaiting(statusIndex);
    SetGroupValue(iPageModelRow, CZapkPackagePageModel::progressRole, 0);
    SetGroupValue(iPageModelRow, CZapkPackagePageModel::statusRole, int(Waiting));
    SetGroupValue(iPageModelRow, CZapkPackagePageModel::errorCountRole, 0);
    {
        QMutexLocker lock(&m_queueMutex);
        m_waitingQueue.push_back(statusIndex);
    }
    OnStart();
    setPageStatus(Working);
    emit started();
}

void CZapkPackagePageCtrl::startOnFailed(int iPageModelRow)
{
    start(iPageModelRow);
}

void CZapkPackagePageCtrl::startAllFailed()
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CZapkPackagePageModel::statusRole).toInt() == Finished &&
            GroupValue(row, CZapkPackagePageModel::errorCountRole).toInt() != 0)
            start(row);
    }
}

int CZapkPackagePageCtrl::GroupRow(const QString& statusIndex) const
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CZapkPackagePageModel::statusIndexRole).toString() == statusIndex)
            return row;
    }
    return -1;
}

void CZapkPackagePageCtrl::OnStart()
{
    if (m_uploadCtrl->IsWorking())
        return;
    QString statusIndex;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_waitingQueue.empty()) {
            lock.unlock();
            emit completed();
            if (!IsLeaving())
                setPageStatus(Finished);
            return;
        }
        statusIndex = m_waitingQueue.front();
    }
    const int row = GroupRow(statusIndex);
    if (row < 0)
        return;
    const QString path = GroupValue(row, CZapkPackagePageModel::firmwarePathRole).toString();
    if (path.isEmpty())
        return;
    if (m_uploadCtrl->Start(path, kUploadTimeoutMs, statusIndex))
        SetGroupValue(row, CZapkPackagePageModel::statusRole, int(Working));
    else
        emit startFailed(0);
}

int CZapkPackagePageCtrl::CountDevices(int code, bool equal) const
{
    QAbstractItemModel* devices = DevicesModel();
    QString key;
    {
        QMutexLocker lock(&m_queueMutex);
        if (!m_waitingQueue.empty())
            key = m_waitingQueue.front();
    }
    int n = 0;
    for (int row = 0; row < devices->rowCount(); ++row) {
        const bool same = CSetDevicesCtrl::StatusOf(devices->index(row, 0), key) == code;
        if (same == equal)
            ++n;
    }
    return n;
}

void CZapkPackagePageCtrl::OnDeviceStatusChange(const QModelIndex&, const QModelIndex&,
                                                const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CDeviceInfo::statusRole))
        return;
    QString key;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_waitingQueue.empty())
            return;
        key = m_waitingQueue.front();
    }
    const int row = GroupRow(key);
    const int devices = DevicesModel()->rowCount();
    if (row < 0 || devices == 0)
        return;
    SetGroupValue(row, CZapkPackagePageModel::progressRole,
                  CountDevices(CUploadZapkPackageCtrl::Success, true) * 100 / devices);
}

void CZapkPackagePageCtrl::OnCtrlComplete()
{
    QString statusIndex;
    int errors = 0;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_waitingQueue.empty())
            return;
        statusIndex = m_waitingQueue.front();
    }
    // Counted before the group leaves the queue, which names the key counted under.
    errors = CountDevices(CUploadZapkPackageCtrl::Success, false);
    {
        QMutexLocker lock(&m_queueMutex);
        m_waitingQueue.pop_front();
    }
    const int row = GroupRow(statusIndex);
    if (row < 0)
        return;
    SetGroupValue(row, CZapkPackagePageModel::statusRole, int(Finished));
    SetGroupValue(row, CZapkPackagePageModel::errorCountRole, errors);
    if (const auto record = m_pageModel->recordAt(row))
        record->failedDevicesModel()->refresh();
    RefreshFailedModel();
    if (IsLeaving()) {
        {
            QMutexLocker lock(&m_queueMutex);
            m_waitingQueue.clear();
        }
        emit completed();
        return;
    }
    if (errors == 0 && m_pageModel->rowCount() > 1)
        m_pageModel->removeRows(row, 1);
    OnStart();
}

void CZapkPackagePageCtrl::cancelWaiting(int iPageModelRow)
{
    if (GroupValue(iPageModelRow, CZapkPackagePageModel::statusRole).toInt() != Waiting) {
        qDebug() << "CZapkPackagePageCtrl::cancelWaiting Cannot cancel a non-waiting group";
        return;
    }
    const QString statusIndex =
        GroupValue(iPageModelRow, CZapkPackagePageModel::statusIndexRole).toString();
    bool found = false;
    {
        QMutexLocker lock(&m_queueMutex);
        for (auto it = m_waitingQueue.begin(); it != m_waitingQueue.end(); ++it) {
            if (*it == statusIndex) {
                m_waitingQueue.erase(it);
                found = true;
                break;
            }
        }
    }
    if (!found) {
        qDebug().noquote() << "Group " + statusIndex + " is not waiting";
        return;
    }
    m_pageModel->removeRows(iPageModelRow, 1);
}
