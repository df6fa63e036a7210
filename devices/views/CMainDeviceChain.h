#pragma once

#include <QObject>

class CAppendedDataModel;
class CDeviceListModel;
class CDeviceSortFilterModel;
class CModelCtrl;
class CNeedPasswordFilterModel;
class CSelectableRoleModel;
class CUnauthorizedFilterModel;
class QAbstractItemModel;

// The main page's device list and the chain of views over it, from the bottom: the list, the
// selected, status and new-item layers, the selectable layer, the sort/filter view the table binds
// to, and over that view its controller and the unauthorized and need-password subsets.
class CMainDeviceChain : public QObject
{
    Q_OBJECT

public:
    explicit CMainDeviceChain(QObject* parent = nullptr);
    ~CMainDeviceChain() override;

    CDeviceListModel* listModel() const { return m_listModel; }
    CAppendedDataModel* selectedModel() const { return m_selectedModel; }
    CAppendedDataModel* statusModel() const { return m_statusModel; }
    CAppendedDataModel* newItemModel() const { return m_newItemModel; }
    CSelectableRoleModel* selectableModel() const { return m_selectableModel; }
    CDeviceSortFilterModel* sortFilterModel() const { return m_sortFilterModel; }
    CModelCtrl* modelCtrl() const { return m_modelCtrl; }
    CUnauthorizedFilterModel* unauthorizedFilterModel() const { return m_unauthorizedFilterModel; }
    CNeedPasswordFilterModel* needPasswordFilterModel() const { return m_needPasswordFilterModel; }

    // The model below the sort/filter view: role-map updates act here so that rows hidden by the
    // filter are updated too.
    QAbstractItemModel* sourceModelForRoleMaps() const;

private:
    CDeviceListModel* m_listModel;
    CAppendedDataModel* m_selectedModel;
    CAppendedDataModel* m_statusModel;
    CAppendedDataModel* m_newItemModel;
    CSelectableRoleModel* m_selectableModel;
    CDeviceSortFilterModel* m_sortFilterModel;
    CModelCtrl* m_modelCtrl;
    CUnauthorizedFilterModel* m_unauthorizedFilterModel;
    CNeedPasswordFilterModel* m_needPasswordFilterModel;
};
