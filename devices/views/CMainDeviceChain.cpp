#include "CMainDeviceChain.h"

#include "CAppendedDataModel.h"
#include "CDeviceInfo.h"
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CModelCtrl.h"
#include "CNeedPasswordFilterModel.h"
#include "CSelectableRoleModel.h"
#include "CUnauthorizedFilterModel.h"

CMainDeviceChain::CMainDeviceChain(QObject* parent)
    : QObject(parent), m_listModel(new CDeviceListModel(this)),
      m_selectedModel(
          new CAppendedDataModel("selectedRole", CDeviceInfo::selectedRole, false, this)),
      m_statusModel(new CAppendedDataModel("statusRole", CDeviceInfo::statusRole, -1, this)),
      m_newItemModel(new CAppendedDataModel("newItemRole", CDeviceInfo::newItemRole, false, this)),
      m_selectableModel(new CSelectableRoleModel(this)),
      m_sortFilterModel(new CDeviceSortFilterModel(this)),
      m_modelCtrl(new CModelCtrl(m_sortFilterModel, this)),
      m_unauthorizedFilterModel(new CUnauthorizedFilterModel(this)),
      m_needPasswordFilterModel(new CNeedPasswordFilterModel(this))
{
    m_selectedModel->setSourceModel(m_listModel);
    m_statusModel->setSourceModel(m_selectedModel);
    m_newItemModel->setSourceModel(m_statusModel);
    m_selectableModel->setSourceModel(m_newItemModel);
    m_sortFilterModel->setSourceModel(m_selectableModel);
    m_unauthorizedFilterModel->setSourceModel(m_sortFilterModel);
    m_needPasswordFilterModel->setSourceModel(m_sortFilterModel);
}

CMainDeviceChain::~CMainDeviceChain()
{
    // Views first, so no proxy outlives the model below it.
    delete m_needPasswordFilterModel;
    delete m_unauthorizedFilterModel;
    delete m_modelCtrl;
    delete m_sortFilterModel;
    delete m_selectableModel;
    delete m_newItemModel;
    delete m_statusModel;
    delete m_selectedModel;
    delete m_listModel;
}

QAbstractItemModel* CMainDeviceChain::sourceModelForRoleMaps() const
{
    return m_selectableModel;
}
