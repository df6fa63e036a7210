#include "CMainPageCtrl.h"

#include "CAppendedDataModel.h"
#include "CAuthorizeCtrl.h"
#include "CDeviceListModel.h"
#include "CDeviceSearcherCtrl.h"
#include "CDeviceSortFilterModel.h"
#include "CImportDeviceCtrl.h"
#include "CLanguageSwitcher.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CRoleMapEditor.h"
#include "CSelectableRoleModel.h"
#include "CUnauthorizedFilterModel.h"
#include "Settings.h"

#include <QDesktopServices>
#include <QtDebug>
#include <algorithm>

CMainPageCtrl::CMainPageCtrl(QObject* parent)
    : QObject(parent), m_importCtrl(new CImportDeviceCtrl(this)),
      m_addCtrl(new CImportDeviceCtrl(this)), m_authorizeCtrl(new CAuthorizeCtrl(this)),
      m_unauthorizedCtrl(new CAuthorizeCtrl(this)), m_searcher(new CDeviceSearcherCtrl(this)),
      m_chain(new CMainDeviceChain(this)), m_language(new CLanguageSwitcher(this))
{
    registerDeviceMetaTypes();
    qRegisterMetaType<CMainPageCtrl::E_Add_Device_Error>();
    QAbstractItemModel* top = m_chain->sourceModelForRoleMaps();
    m_roleMaps.setModel(top);
    m_importCtrl->setModel(top);
    m_addCtrl->setModel(top);
    m_authorizeCtrl->setModel(m_chain->sortFilterModel());
    m_unauthorizedCtrl->setModel(m_chain->unauthorizedFilterModel());

    connect(m_searcher, &CDeviceSearcherCtrl::deviceFound, this, &CMainPageCtrl::onDeviceFound,
            Qt::QueuedConnection);
    connect(m_searcher, &CDeviceSearcherCtrl::searchStopped, this, &CMainPageCtrl::onSearchStopped,
            Qt::QueuedConnection);
    connect(m_searcher, &CDeviceSearcherCtrl::progressChanged, this,
            &CMainPageCtrl::progressChanged);

    for (CImportDeviceCtrl* ctrl : {m_importCtrl, m_addCtrl}) {
        connect(ctrl, &CImportDeviceCtrl::devicesFound, this, &CMainPageCtrl::OnImportDevices);
        connect(ctrl, &CImportDeviceCtrl::alreadyExists, this,
                &CMainPageCtrl::OnImportAlreadyExist);
    }
    connect(m_importCtrl, &CImportDeviceCtrl::importDevicesFinished, this,
            &CMainPageCtrl::importDevicesFinished);
    connect(m_importCtrl, &CImportDeviceCtrl::importFileError, this,
            &CMainPageCtrl::importFileError);
    connect(m_importCtrl, &CImportDeviceCtrl::someImportFailed, this,
            &CMainPageCtrl::someImportFailed);
    connect(m_addCtrl, &CImportDeviceCtrl::someImportFailed, this,
            &CMainPageCtrl::OnAddDeviceFailed);
    connect(m_addCtrl, &CImportDeviceCtrl::allImportSucceeded, this,
            &CMainPageCtrl::addDeviceSucceeded);
    connect(m_addCtrl, &CImportDeviceCtrl::importDevicesFinished, this,
            &CMainPageCtrl::addDeviceFinished);

    connect(m_chain->modelCtrl(), &CModelCtrl::selectionChanged, this,
            &CMainPageCtrl::OnUISelectionChanged, Qt::QueuedConnection);
    connect(m_chain->modelCtrl(), &CModelCtrl::modelSorted, this, &CMainPageCtrl::OnModelCtrlSorted,
            Qt::QueuedConnection);

    connect(m_authorizeCtrl, &CAuthorizeCtrl::needToSetPasswordSignal, this,
            &CMainPageCtrl::OnNeedToSetPassword);
    connect(m_authorizeCtrl, &CAuthorizeCtrl::newPasswordAuthorizeStart, this,
            &CMainPageCtrl::authorizing);
    connect(m_authorizeCtrl, &CAuthorizeCtrl::authorizeFinished, this,
            &CMainPageCtrl::authorizeStopped);
    for (CAuthorizeCtrl* ctrl : {m_authorizeCtrl, m_unauthorizedCtrl}) {
        connect(ctrl, &CAuthorizeCtrl::deviceStatusChanged, this, &CMainPageCtrl::ModifyModelEntry,
                Qt::QueuedConnection);
        connect(ctrl, &CAuthorizeCtrl::deviceInfoFound, this, &CMainPageCtrl::FillModelEntry,
                Qt::QueuedConnection);
    }

    m_language->load(CLanguageSwitcher::currentLanguage());
    connect(m_language, &CLanguageSwitcher::currentLanguageChanged, this,
            &CMainPageCtrl::currentLanguageChanged);
    m_useDefaultBrowser = readSettingsValue(QStringLiteral("defaultBrowser"), false).toBool();
}

CMainPageCtrl::~CMainPageCtrl() = default;

double CMainPageCtrl::progress() const
{
    return m_searcher->progress();
}

void CMainPageCtrl::abortJobs()
{
    m_importCtrl->abort();
    m_addCtrl->abort();
    m_authorizeCtrl->abort();
    m_unauthorizedCtrl->abort();
}

void CMainPageCtrl::prepareDiscovery()
{
    emit authorizeStopped();
    abortJobs();
    m_searcher->abort();
    // Devices found by an earlier discovery go; devices added by hand or imported stay.
    m_chain->listModel()->removeMatching(CDeviceInfo::drmSearchedRole, true);
    m_chain->modelCtrl()->resetAnchor();
}

bool CMainPageCtrl::startSearchDevices()
{
    prepareDiscovery();
    return m_searcher->start();
}

bool CMainPageCtrl::startSearchIPRangeDevices(const QString& strIPRangeStart,
                                              const QString& strIPRangeEnd, int zRequiredTime)
{
    prepareDiscovery();
    return m_searcher->startRange(strIPRangeStart, strIPRangeEnd, zRequiredTime);
}

void CMainPageCtrl::stopSearchDevices()
{
    m_searcher->StopSearchDevices();
}

void CMainPageCtrl::userStops()
{
    m_searcher->stopInBackground();
}

void CMainPageCtrl::authorize(const QString& strUsername, const QString& strPassword)
{
    emit authorizing();
    m_authorizeCtrl->authorize(strUsername, strPassword, false);
}

void CMainPageCtrl::authorizeUnauthorized(const QString& strUsername, const QString& strPassword,
                                          int iIndex)
{
    emit authorizing();
    m_unauthorizedCtrl->authorize(strUsername, strPassword, iIndex != 0);
}

void CMainPageCtrl::authorizeUnauthorized(const QString& strUsername, const QString& strPassword)
{
    emit authorizing();
    m_unauthorizedCtrl->authorize(strUsername, strPassword, false);
}

void CMainPageCtrl::abortAuthorizeUnauthorized()
{
    emit authorizeStopped();
    m_unauthorizedCtrl->abort();
}

QVariantMap CMainPageCtrl::getPasswordPolicyRuleForSetNewPassword(int index)
{
    return m_authorizeCtrl->getPasswordPolicyRuleForSetNewPassword(index);
}

void CMainPageCtrl::setNewFWPassword(const QString& strPassword)
{
    emit authorizing();
    m_authorizeCtrl->setNewFWPassword(strPassword);
}

bool CMainPageCtrl::importDevices(const QString& strFilePath)
{
    clearNewMarks();
    return m_importCtrl->importFile(strFilePath, m_authorizeCtrl->username(),
                                    m_authorizeCtrl->password());
}

bool CMainPageCtrl::importDevicesFromUrl(const QUrl& url)
{
    return importDevices(url.toLocalFile());
}

bool CMainPageCtrl::addDevice(const QString& strIp, const QString& strPort)
{
    clearNewMarks();
    return m_addCtrl->addOne(strIp, m_authorizeCtrl->username(), m_authorizeCtrl->password(),
                             strPort);
}

QVariantList CMainPageCtrl::getFailedImport() const
{
    return m_importCtrl->failedAddresses();
}

void CMainPageCtrl::abortAllWorkingJobs()
{
    emit authorizeStopped();
    abortJobs();
}

void CMainPageCtrl::leavePage()
{
    abortAllWorkingJobs();
    clearNewMarks();
}

void CMainPageCtrl::setShowAllBrands(bool bShow)
{
    m_searcher->setShowAllBrands(bShow);
}

void CMainPageCtrl::setNVOnly(bool bNVOnly)
{
    m_searcher->setNVOnly(bNVOnly);
}

void CMainPageCtrl::setNVRSelectable(bool b)
{
    m_chain->selectableModel()->setNVRSelectable(b);
}

void CMainPageCtrl::clearAllSelected()
{
    m_chain->modelCtrl()->setSelectionToAll(false);
}

void CMainPageCtrl::openWebPage(const QUrl& url)
{
    // There is no registry of browsers here: the desktop's default handler serves both choices.
    QDesktopServices::openUrl(url);
}

void CMainPageCtrl::toggleBrowser()
{
    m_useDefaultBrowser = !m_useDefaultBrowser;
}

QVariant CMainPageCtrl::getSettingsValue(const QString& key, const QVariant& defaultValue) const
{
    return readSettingsValue(key, defaultValue);
}

QVariant CMainPageCtrl::getSettingsValue(const QString& key) const
{
    return readSettingsValue(key, QVariant());
}

void CMainPageCtrl::setTranslation(const QString& file)
{
    m_language->setTranslation(file, m_engine);
}

QString CMainPageCtrl::currentLanguage() const
{
    return CLanguageSwitcher::currentLanguage();
}

void CMainPageCtrl::clearNewMarks()
{
    CAppendedDataModel* marks = m_chain->newItemModel();
    for (int row = 0; row < marks->rowCount(); ++row)
        marks->setData(marks->index(row, 0), false, CDeviceInfo::newItemRole);
}

void CMainPageCtrl::onDeviceFound(std::shared_ptr<CDeviceInfo> device)
{
    m_chain->listModel()->appendDevice(device);
    emit devicesFound();
}

void CMainPageCtrl::onSearchStopped()
{
    emit devicesFound();
    emit searchStopped();
}

void CMainPageCtrl::OnImportDevices(std::deque<std::shared_ptr<CDeviceInfo>> listDevices)
{
    CDeviceListModel* list = m_chain->listModel();
    const int before = list->rowCount();
    list->PushFrontIfNotExist(listDevices);
    const int added = list->rowCount() - before;
    CAppendedDataModel* marks = m_chain->newItemModel();
    for (int row = 0; row < added; ++row)
        marks->setData(marks->index(row, 0), true, CDeviceInfo::newItemRole);
    m_chain->modelCtrl()->resetAnchor();
}

void CMainPageCtrl::OnImportAlreadyExist(const QVariantList& rowList)
{
    QList<int> rows;
    for (const QVariant& row : rowList)
        rows.append(row.toInt());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    CDeviceListModel* list = m_chain->listModel();
    CAppendedDataModel* marks = m_chain->newItemModel();
    for (const int row : qAsConst(rows)) {
        if (row < 0 || row >= list->rowCount())
            continue;
        const QMap<int, QVariant> data = list->itemData(list->index(row, 0));
        list->removeRows(row, 1);
        list->insertRows(0, 1);
        const QModelIndex top = list->index(0, 0);
        for (auto it = data.cbegin(); it != data.cend(); ++it) {
            if (CDeviceInfo::isFieldRole(it.key()))
                list->setData(top, it.value(), it.key());
        }
        marks->setData(marks->index(0, 0), true, CDeviceInfo::newItemRole);
    }
    m_chain->sortFilterModel()->refresh();
}

void CMainPageCtrl::OnAddDeviceFailed()
{
    const QVariantList failed = m_addCtrl->failedJobs();
    if (failed.size() != 1) {
        qDebug().noquote() << "Add device controller did not add one device!! Num ="
                           << failed.size();
        return;
    }
    switch (failed.first().toMap().value(QStringLiteral("code")).toInt()) {
    case CImportDeviceCtrl::AlreadyListed:
        emit addDeviceFailed(AlreadyExist);
        break;
    case CImportDeviceCtrl::NoAnswer:
        emit addDeviceFailed(Timeout);
        break;
    default:
        emit addDeviceFailed(UnknownFail);
        break;
    }
}

void CMainPageCtrl::OnUISelectionChanged()
{
    CModelCtrl* ctrl = m_chain->modelCtrl();
    CDeviceSortFilterModel* view = m_chain->sortFilterModel();
    for (const int row : ctrl->selectedRows())
        view->setData(view->index(row, 0), false, CDeviceInfo::newItemRole);
    m_authorizeCtrl->preTest();
}

void CMainPageCtrl::OnModelCtrlSorted()
{
    m_chain->unauthorizedFilterModel()->resetFilter();
}

void CMainPageCtrl::OnNeedToSetPassword()
{
    emit needToSetPassword();
}

void CMainPageCtrl::ModifyModelRow(int iSourceRow, QMap<int, QVariant> newData)
{
    m_roleMaps.ModifyModelRow(iSourceRow, newData);
}

void CMainPageCtrl::FillModelRow(int iSourceRow, QMap<int, QVariant> to)
{
    m_roleMaps.FillModelRow(iSourceRow, to);
}

void CMainPageCtrl::ModifyModelEntry(QMap<int, QVariant> from, QMap<int, QVariant> to)
{
    m_roleMaps.ModifyModelEntry(from, to);
}

void CMainPageCtrl::FillModelEntry(QMap<int, QVariant> from, QMap<int, QVariant> to)
{
    m_roleMaps.FillModelEntry(from, to);
}
