#include "CZapkLicensePageCtrl.h"

#include "CAppendedDataModel.h"
#include "CCorvaneTableStatus.h"
#include "CDeviceInfo.h"
#include "CStatusMapFilterModel.h"
#include "CUploadZapkLicenseCtrl.h"
#include "CZapkLicenseDeviceProxyModel.h"
#include "CZapkLicensePageInfo.h"
#include "CZapkLicensePageModel.h"

#include <QPersistentModelIndex>
#include <QUrl>
#include <QtDebug>

const QString CZapkLicensePageCtrl::kStatusKey = QStringLiteral("license");

CZapkLicensePageCtrl::CZapkLicensePageCtrl(QObject* parent)
    : CPageCtrl(parent), m_uploadCtrl(new CUploadZapkLicenseCtrl(this)),
      m_pageModel(new CZapkLicensePageModel(this))
{
    SetupModels();
    AttachDevicesCtrl();
    connect(m_uploadCtrl, &CUploadZapkLicenseCtrl::allVerified, this,
            &CZapkLicensePageCtrl::onComplete);
    connect(StatusLayer(), &QAbstractItemModel::dataChanged, this,
            &CZapkLicensePageCtrl::OnDeviceStatusChange, Qt::DirectConnection);
}

CZapkLicensePageCtrl::~CZapkLicensePageCtrl()
{
    m_uploadCtrl->disconnect(this);
    m_pageModel->clear();
}

QString CZapkLicensePageCtrl::statusKey() const
{
    return kStatusKey;
}

void CZapkLicensePageCtrl::SetupModels()
{
    CPageCtrl::SetupModels();
    if (!m_deviceView) {
        m_deviceView = new CZapkLicenseDeviceProxyModel(this);
        m_deviceView->setSourceModel(StatusLayer());
        // The device table shows whatever the licence view lets through.
        if (auto* devices = qobject_cast<QSortFilterProxyModel*>(DevicesModel()))
            devices->setSourceModel(m_deviceView);
    }
    SetFailureCodes({CCorvaneTableStatus::ZapkLicensePage_Fail,
                     CCorvaneTableStatus::ZapkLicensePage_NetworkError,
                     CCorvaneTableStatus::ZapkLicensePage_CannotOpenFile,
                     CCorvaneTableStatus::ZapkLicensePage_AuthFail,
                     CCorvaneTableStatus::ZapkLicensePage_Timeout});
}

void CZapkLicensePageCtrl::AttachDevicesCtrl()
{
    m_uploadCtrl->SetModel(StatusLayer());
}

bool CZapkLicensePageCtrl::CopySelectedDevices()
{
    // While the rows are copied every one of them is shown.
    m_deviceView->setAcceptAll(true);
    const bool copied = CPageCtrl::CopySelectedDevices();
    m_deviceView->setAcceptAll(false);
    return copied;
}

QVariant CZapkLicensePageCtrl::GroupValue(int row, int role) const
{
    return m_pageModel->data(m_pageModel->index(row, 0), role);
}

void CZapkLicensePageCtrl::SetGroupValue(int row, int role, const QVariant& value)
{
    m_pageModel->setData(m_pageModel->index(row, 0), value, role);
}

void CZapkLicensePageCtrl::enterPage()
{
    CPageCtrl::enterPage();
    m_deviceView->setRows({});
    m_deviceView->setAcceptAll(false);
    m_entries.clear();
    m_waitingList.clear();
    m_pageModel->clear();
    m_groupCounter = 0;
    setProgress(0);
    setErrorCount(0);
    setPageStatus(Nothing);
}

void CZapkLicensePageCtrl::leavePage()
{
    CPageCtrl::leavePage();
    m_uploadCtrl->Abort();
    setPageStatus(Nothing);
}

int CZapkLicensePageCtrl::addFilePaths(const QVariantList& filePaths)
{
    QAbstractItemModel* devices = StatusLayer();
    QVariantList entries;
    QVector<int> rows;
    for (const QVariant& value : filePaths) {
        const QUrl url = value.toUrl().isValid() ? value.toUrl() : QUrl(value.toString());
        const QString path = url.isLocalFile() ? url.toLocalFile() : value.toString();
        const QString mac = m_logic.macOf(path);
        if (mac.isEmpty())
            continue;
        for (int row = 0; row < devices->rowCount(); ++row) {
            const QModelIndex index = devices->index(row, 0);
            if (index.data(CDeviceInfo::macRole).toString().compare(mac, Qt::CaseInsensitive) != 0)
                continue;
            entries.append(QVariantMap{{QStringLiteral("filePath"), value},
                                       {QStringLiteral("matchedIndex"),
                                        QVariant::fromValue(QPersistentModelIndex(index))}});
            if (!rows.contains(row))
                rows.append(row);
            break;
        }
    }
    if (entries.isEmpty())
        return -1;
    m_pageModel->insertRows(0, 1);
    SetGroupValue(0, CZapkLicensePageModel::fileDescriptionRole, QString());
    const QString statusIndex = QString::number(++m_groupCounter);
    SetGroupValue(0, CZapkLicensePageModel::statusIndexRole, statusIndex);
    m_uploadCtrl->ClearGroup(entries, statusIndex);
    SetGroupValue(0, CZapkLicensePageModel::countRole, entries.size());
    SetGroupValue(0, CZapkLicensePageModel::fileStartIndexRole, m_entries.size());
    m_entries += entries;
    SetGroupValue(0, CZapkLicensePageModel::fileEndIndexRole, m_entries.size() - 1);
    if (const auto record = m_pageModel->recordAt(0))
        record->bindViews(StatusLayer(), rows);
    for (int row = m_pageModel->rowCount() - 1; row >= 0 && m_pageModel->rowCount() > 1; --row) {
        if (GroupValue(row, CZapkLicensePageModel::statusRole).toInt() == Finished &&
            GroupValue(row, CZapkLicensePageModel::errorCountRole).toInt() == 0)
            m_pageModel->removeRows(row, 1);
    }
    return 0;
}

void CZapkLicensePageCtrl::start(int iPageModelRow)
{
    if (iPageModelRow < 0 || iPageModelRow >= m_pageModel->rowCount()) {
        emit startFailed(0);
        return;
    }
    const int status = GroupValue(iPageModelRow, CZapkLicensePageModel::statusRole).toInt();
    if (status == Waiting || status == Working) {
        emit startFailed(0);
        return;
    }
    const QString statusIndex =
        GroupValue(iPageModelRow, CZapkLicensePageModel::statusIndexRole).toString();
    m_uploadCtrl->ResetGroupToWaiting(statusIndex);
    SetGroupValue(iPageModelRow, CZapkLicensePageModel::progressRole, 0);
    SetGroupValue(iPageModelRow, CZapkLicensePageModel::statusRole, int(Waiting));
    SetGroupValue(iPageModelRow, CZapkLicensePageModel::errorCountRole, 0);
    m_waitingList.append(statusIndex);
    OnStart();
    setPageStatus(Working);
    emit started();
}

void CZapkLicensePageCtrl::startOnFailed(int iPageModelRow)
{
    start(iPageModelRow);
}

void CZapkLicensePageCtrl::startAllFailed()
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CZapkLicensePageModel::statusRole).toInt() == Finished &&
            GroupValue(row, CZapkLicensePageModel::errorCountRole).toInt() != 0)
            start(row);
    }
}

int CZapkLicensePageCtrl::GroupRow(const QString& statusIndex) const
{
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CZapkLicensePageModel::statusIndexRole).toString() == statusIndex)
            return row;
    }
    return -1;
}

QVariantList CZapkLicensePageCtrl::GroupEntries(int row) const
{
    const int first = GroupValue(row, CZapkLicensePageModel::fileStartIndexRole).toInt();
    const int last = GroupValue(row, CZapkLicensePageModel::fileEndIndexRole).toInt();
    return m_entries.mid(first, last - first + 1);
}

int CZapkLicensePageCtrl::CountEntries(int row, bool succeeded) const
{
    const QString key = GroupValue(row, CZapkLicensePageModel::statusIndexRole).toString();
    int n = 0;
    for (const QVariant& value : GroupEntries(row)) {
        const QModelIndex index =
            CSetDevicesCtrl::IndexFromContext(value.toMap().value(QStringLiteral("matchedIndex")));
        const bool ok = CSetDevicesCtrl::StatusOf(index, key) == CUploadZapkLicenseCtrl::Success;
        if (ok == succeeded)
            ++n;
    }
    return n;
}

void CZapkLicensePageCtrl::OnStart()
{
    if (m_waitingList.isEmpty()) {
        emit completed();
        if (!IsLeaving())
            setPageStatus(Finished);
        return;
    }
    for (int row = 0; row < m_pageModel->rowCount(); ++row) {
        if (GroupValue(row, CZapkLicensePageModel::statusRole).toInt() == Working)
            return;
    }
    const int row = GroupRow(m_waitingList.first());
    if (row < 0)
        return;
    m_uploadCtrl->Start(GroupEntries(row), m_waitingList.first());
    SetGroupValue(row, CZapkLicensePageModel::statusRole, int(Working));
}

void CZapkLicensePageCtrl::OnDeviceStatusChange(const QModelIndex&, const QModelIndex&,
                                                const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(CDeviceInfo::statusRole))
        return;
    if (m_waitingList.isEmpty())
        return;
    const int row = GroupRow(m_waitingList.first());
    if (row < 0)
        return;
    const int first = GroupValue(row, CZapkLicensePageModel::fileStartIndexRole).toInt();
    const int last = GroupValue(row, CZapkLicensePageModel::fileEndIndexRole).toInt();
    SetGroupValue(row, CZapkLicensePageModel::progressRole,
                  CountEntries(row, true) * 100 / (last - first + 1));
}

void CZapkLicensePageCtrl::onComplete()
{
    if (m_waitingList.isEmpty())
        return;
    const QString statusIndex = m_waitingList.takeFirst();
    const int row = GroupRow(statusIndex);
    if (row < 0)
        return;
    SetGroupValue(row, CZapkLicensePageModel::statusRole, int(Finished));
    const int errors = CountEntries(row, false);
    SetGroupValue(row, CZapkLicensePageModel::errorCountRole, errors);
    if (const auto record = m_pageModel->recordAt(row))
        record->failedDevicesModel()->refresh();
    RefreshFailedModel();
    if (IsLeaving()) {
        m_waitingList.clear();
        emit completed();
        return;
    }
    if (errors == 0 && m_pageModel->rowCount() > 1)
        m_pageModel->removeRows(row, 1);
    OnStart();
}

void CZapkLicensePageCtrl::cancelWaiting(int iPageModelRow)
{
    if (GroupValue(iPageModelRow, CZapkLicensePageModel::statusRole).toInt() != Waiting)
        return;
    if (m_waitingList.removeOne(
            GroupValue(iPageModelRow, CZapkLicensePageModel::statusIndexRole).toString()))
        m_pageModel->removeRows(iPageModelRow, 1);
}

void CZapkLicensePageCtrl::setDisplayDevices(int iPageModelRow)
{
    if (iPageModelRow < 0 || iPageModelRow >= m_pageModel->rowCount())
        return;
    QVector<int> rows;
    for (const QVariant& value : GroupEntries(iPageModelRow)) {
        const QModelIndex index =
            CSetDevicesCtrl::IndexFromContext(value.toMap().value(QStringLiteral("matchedIndex")));
        if (index.isValid() && !rows.contains(index.row()))
            rows.append(index.row());
    }
    m_deviceView->setAcceptAll(false);
    m_deviceView->setRows(rows);
}

void CZapkLicensePageCtrl::setDisplayAllDevices()
{
    m_deviceView->setAcceptAll(true);
}
