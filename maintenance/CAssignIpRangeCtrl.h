#pragma once

#include "CAssignIpCtrl.h"
#include "CIpPool.h"

#include <QVariantMap>

// Gives each device of the run an address of its own from a range, in view order; a device
// already inside the range keeps its address.
class CAssignIpRangeCtrl : public CAssignIpCtrl
{
    Q_OBJECT
public:
    enum E_Input_Check_State
    {
        NotAvailable = 0,
        WrongInputParam = 1,
        WrongIpRange = 2,
        NotEnoughIp = 3,
        Ok = 4
    };
    Q_ENUM(E_Input_Check_State)

    explicit CAssignIpRangeCtrl(QObject* parent = nullptr);

    // Checks the input and prepares the pool of free addresses for the next Start(): the range
    // minus, when only failed devices are assigned, the addresses already confirmed.
    E_Input_Check_State CheckInput(const QString& ipStart, const QString& ipEnd,
                                   const QString& subnet, const QString& router,
                                   const QString& dns1, const QString& dns2, bool isRangedDRM,
                                   int rangedDRMTime);

    // "ipStart", "ipEnd", "subnet", "router", "dns1", "dns2" as 32-bit unsigned integers.
    QVariantMap Parameters() const { return m_parameters; }
    const CIpPool& Pool() const { return m_pool; }

protected:
    QVariantList BuildList() override;
    void StartRun() override;

private:
    QString Text(const char* key) const;

    QVariantMap m_parameters;
    CIpPool m_pool;
};
