#pragma once

#include <QObject>
#include <QPointer>

class CAppendedDataModel;
class CAssignIpCtrl;
class CAssignIpDhcpCtrl;
class CAssignIpFixedCtrl;
class CAssignIpPageFilterModel;
class CAssignIpRangeCtrl;
class CDeviceListModel;
class CModelCtrl;
class QAbstractItemModel;

// The IP-assignment page: copies the devices selected on the main page, re-addresses them by
// DHCP, one fixed address or a range, and on leaving writes the confirmed new addresses back to
// the main list.
class CAssignIpPageCtrl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int numFailed READ numFailed NOTIFY numFailedChanged)
    Q_PROPERTY(int numSkipped READ numSkipped NOTIFY numSkippedChanged)
    Q_PROPERTY(int numDevices READ numDevices NOTIFY numDevicesChanged)
    Q_PROPERTY(bool working READ working NOTIFY workingChanged)
public:
    enum E_Assign_IP_Errors
    {
        UnknownFail = 0,
        CtrlNotAvailable = 1,
        FixedIpInvalid = 2,
        RangeIpFormatInvalid = 3,
        RangeIpRangeInvalid = 4,
        RangeIpRangeNotEnough = 5
    };
    Q_ENUM(E_Assign_IP_Errors)

    explicit CAssignIpPageCtrl(QObject* parent = nullptr);
    ~CAssignIpPageCtrl() override;

    // The main page's list controller: its view is the main list, its selection what the page
    // copies.
    bool SetMainModelCtrl(QObject* ctrl);

    int numFailed() const { return m_numFailed; }
    int numSkipped() const { return m_numSkipped; }
    int numDevices() const { return m_numDevices; }
    bool working() const { return m_working; }

    Q_INVOKABLE void enterPage();
    Q_INVOKABLE void leavePage();
    Q_INVOKABLE void applyOnlyToFailed(bool b);
    Q_INVOKABLE void assignDhcp();
    Q_INVOKABLE void assignFixedIp(QString strIp, QString strSubnet, QString strRouter,
                                   QString strDns1, QString strDns2, bool isRangedDRM,
                                   int rangedDRMTime);
    Q_INVOKABLE void assignIpRange(QString strIpStart, QString strIpEnd, QString strSubnet,
                                   QString strRouter, QString strDns1, QString strDns2,
                                   bool isRangedDRM, int rangedDRMTime);
    Q_INVOKABLE void abortWorkingCtrl();

    QAbstractItemModel* DevicesModel() const;
    QObject* DevicesModelCtrl() const;
    CDeviceListModel* PageList() const { return m_pageList; }
    CAssignIpDhcpCtrl* DhcpCtrl() const { return m_dhcpCtrl; }
    CAssignIpFixedCtrl* FixedCtrl() const { return m_fixedCtrl; }
    CAssignIpRangeCtrl* RangeCtrl() const { return m_rangeCtrl; }
    bool OnlyFailed() const { return m_onlyFailed; }

signals:
    void completed();
    void numFailedChanged();
    void numSkippedChanged();
    void numDevicesChanged();
    void startFailed(int iErrorCode);
    void enterPageFailed(int iErrorCode);
    void workingChanged();

private slots:
    void OnCtrlCompleted();

private:
    QList<CAssignIpCtrl*> Ctrls() const;
    bool AnyWorking() const;
    // Makes the confirmed new addresses the rows' addresses before a new run.
    void CommitNewAddresses();
    void StartCtrl(CAssignIpCtrl* ctrl);
    void UpdateCounts();
    void setWorking(bool working);

    CAssignIpDhcpCtrl* m_dhcpCtrl;
    CAssignIpFixedCtrl* m_fixedCtrl;
    CAssignIpRangeCtrl* m_rangeCtrl;
    QPointer<CModelCtrl> m_mainModelCtrl;
    CDeviceListModel* m_pageList;
    CAppendedDataModel* m_selectedLayer;
    CAppendedDataModel* m_statusLayer;
    CAppendedDataModel* m_newIpLayer;
    CAssignIpPageFilterModel* m_filterModel;
    CModelCtrl* m_filterModelCtrl;
    bool m_onlyFailed = false;
    int m_numFailed = 0;
    int m_numSkipped = 0;
    int m_numDevices = 0;
    bool m_working = false;
};
