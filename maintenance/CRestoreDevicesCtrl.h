#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

class CSetParamCtrl;

// Resets the devices of the restore page to factory settings, keeping the groups of settings
// the exclusion mask names.
class CRestoreDevicesCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;

    explicit CRestoreDevicesCtrl(QObject* parent = nullptr);
    ~CRestoreDevicesCtrl() override;

    bool Start();
    void Abort();
    void SetExcludeGroup(int mask) { m_excludeMask = mask; }
    int ExcludeGroup() const { return m_excludeMask; }
    CSetParamCtrl* CommandRunner() const { return m_commandRunner; }

    // The setparam body for an exclusion mask; empty for a mask no device understands.
    static QByteArray RestoreBody(int mask);

protected slots:
    void restoreDeviceResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                                    const QVariant& response);
    void restoreDeviceFinishHandler();

private:
    QVariantList BuildList(const QByteArray& body);

    CSetParamCtrl* m_commandRunner;
    QVariantList m_contexts;
    int m_excludeMask = 0;
};
