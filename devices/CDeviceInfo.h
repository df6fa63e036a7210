#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <deque>
#include <memory>

// One device the program knows. A plain value, shared between the list model and signals in flight
// as std::shared_ptr<CDeviceInfo>. Every field is addressed by one item-model role, so models, QML
// and the remote control reach the fields by role number or role name.
class CDeviceInfo
{
public:
    // Field roles come first (Qt::UserRole + 1 .. + 15), then the roles that proxies append per row
    // (Qt::UserRole + 50 .. + 60). unknownRole is what a name lookup yields for a name it does not
    // know.
    enum Roles : int
    {
        modelRole = Qt::UserRole + 1,
        ipRole,
        aliasIpRole,
        macRole,
        firmwareRole,
        firmwareInfoRole,
        usernameRole,
        passwordRole,
        httpPortRole,
        httpsPortRole,
        cmsPortRole,
        drmSearchedRole,
        cameraModelNameRole,
        sdCardStatusRole,
        sdCardUseRole,

        statusRole = Qt::UserRole + 50,
        selectedRole,
        newIpRole,
        tableRowRole,
        newItemRole,
        selectableRole,
        zapkNameRole,
        zapkVerRole,
        zapkIdxRole,
        zapkStatusRole,
        zapkSignatureRole,

        unknownRole = Qt::UserRole + 100
    };

    static constexpr int firstFieldRole = modelRole;
    static constexpr int lastFieldRole = sdCardUseRole;

    QString model;
    QString ip;
    QString aliasIp;
    QString mac;
    QString firmware;
    QString firmwareInfo;
    QString username;
    QString password;
    quint16 httpPort = 80;
    quint16 httpsPort = 443;
    quint16 cmsPort = 3454;
    bool drmSearched = false;
    QString cameraModelName;
    QString sdCardStatus;
    QString sdCardUse;

    static bool isFieldRole(int role) { return role >= firstFieldRole && role <= lastFieldRole; }

    // The field of a field role (strings as strings, ports as int, drmSearched as bool); an
    // invalid value for any other role.
    QVariant value(int role) const;

    // Stores value into the field of a field role (strings through toString, ports through toUInt
    // truncated to 16 bits, drmSearched through toBool). False, and nothing changes, for any other
    // role.
    bool setValue(int role, const QVariant& value);

    bool operator==(const CDeviceInfo& other) const;
    bool operator!=(const CDeviceInfo& other) const { return !(*this == other); }
};

using DevicePtr = std::shared_ptr<CDeviceInfo>;
using DeviceList = std::deque<std::shared_ptr<CDeviceInfo>>;

// A map from role number to value: as a match map it selects the rows whose values equal its
// entries; as a value map it lists the values to write.
using RoleMap = QMap<int, QVariant>;

// The names of the 15 field roles.
QHash<int, QByteArray> deviceFieldRoleNames();

// The name of any of the 26 known roles; empty for any other number.
QByteArray roleNameOf(int role);

// Exact, case-sensitive lookup of the 26 role names; CDeviceInfo::unknownRole for any other name.
int roleFromName(const QString& name);

// Registers the record types (and the role map) with the meta-type system under the names that
// queued connections use. Safe to call more than once.
void registerDeviceMetaTypes();

Q_DECLARE_METATYPE(std::shared_ptr<CDeviceInfo>)
Q_DECLARE_METATYPE(std::deque<std::shared_ptr<CDeviceInfo>>)
