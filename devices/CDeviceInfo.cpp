#include "CDeviceInfo.h"

#include <QVector>

namespace {

struct RoleName
{
    int role;
    const char* name;
};

// Role numbers and their names, in role order.
const RoleName kRoleNames[] = {
    {CDeviceInfo::modelRole, "modelRole"},
    {CDeviceInfo::ipRole, "ipRole"},
    {CDeviceInfo::aliasIpRole, "aliasIpRole"},
    {CDeviceInfo::macRole, "macRole"},
    {CDeviceInfo::firmwareRole, "firmwareRole"},
    {CDeviceInfo::firmwareInfoRole, "firmwareInfoRole"},
    {CDeviceInfo::usernameRole, "usernameRole"},
    {CDeviceInfo::passwordRole, "passwordRole"},
    {CDeviceInfo::httpPortRole, "httpPortRole"},
    {CDeviceInfo::httpsPortRole, "httpsPortRole"},
    {CDeviceInfo::cmsPortRole, "cmsPortRole"},
    {CDeviceInfo::drmSearchedRole, "drmSearchedRole"},
    {CDeviceInfo::cameraModelNameRole, "cameraModelNameRole"},
    {CDeviceInfo::sdCardStatusRole, "sdCardStatusRole"},
    {CDeviceInfo::sdCardUseRole, "sdCardUseRole"},
    {CDeviceInfo::statusRole, "statusRole"},
    {CDeviceInfo::selectedRole, "selectedRole"},
    {CDeviceInfo::newIpRole, "newIpRole"},
    {CDeviceInfo::tableRowRole, "tableRowRole"},
    {CDeviceInfo::newItemRole, "newItemRole"},
    {CDeviceInfo::selectableRole, "selectableRole"},
    {CDeviceInfo::zapkNameRole, "zapkNameRole"},
    {CDeviceInfo::zapkVerRole, "zapkVerRole"},
    {CDeviceInfo::zapkIdxRole, "zapkIdxRole"},
    {CDeviceInfo::zapkStatusRole, "zapkStatusRole"},
    {CDeviceInfo::zapkSignatureRole, "zapkSignatureRole"},
};

} // namespace

QVariant CDeviceInfo::value(int role) const
{
    switch (role) {
    case modelRole:
        return model;
    case ipRole:
        return ip;
    case aliasIpRole:
        return aliasIp;
    case macRole:
        return mac;
    case firmwareRole:
        return firmware;
    case firmwareInfoRole:
        return firmwareInfo;
    case usernameRole:
        return username;
    case passwordRole:
        return password;
    case httpPortRole:
        return int(httpPort);
    case httpsPortRole:
        return int(httpsPort);
    case cmsPortRole:
        return int(cmsPort);
    case drmSearchedRole:
        return drmSearched;
    case cameraModelNameRole:
        return cameraModelName;
    case sdCardStatusRole:
        return sdCardStatus;
    case sdCardUseRole:
        return sdCardUse;
    default:
        return QVariant();
    }
}

bool CDeviceInfo::setValue(int role, const QVariant& value)
{
    switch (role) {
    case modelRole:
        model = value.toString();
        break;
    case ipRole:
        ip = value.toString();
        break;
    case aliasIpRole:
        aliasIp = value.toString();
        break;
    case macRole:
        mac = value.toString();
        break;
    case firmwareRole:
        firmware = value.toString();
        break;
    case firmwareInfoRole:
        firmwareInfo = value.toString();
        break;
    case usernameRole:
        username = value.toString();
        break;
    case passwordRole:
        password = value.toString();
        break;
    case httpPortRole:
        httpPort = quint16(value.toUInt());
        break;
    case httpsPortRole:
        httpsPort = quint16(value.toUInt());
        break;
    case cmsPortRole:
        cmsPort = quint16(value.toUInt());
        break;
    case drmSearchedRole:
        drmSearched = value.toBool();
        break;
    case cameraModelNameRole:
        cameraModelName = value.toString();
        break;
    case sdCardStatusRole:
        sdCardStatus = value.toString();
        break;
    case sdCardUseRole:
        sdCardUse = value.toString();
        break;
    default:
        return false;
    }
    return true;
}

bool CDeviceInfo::operator==(const CDeviceInfo& other) const
{
    for (int role = firstFieldRole; role <= lastFieldRole; ++role) {
        if (value(role) != other.value(role))
            return false;
    }
    return true;
}

QHash<int, QByteArray> deviceFieldRoleNames()
{
    QHash<int, QByteArray> names;
    for (const RoleName& entry : kRoleNames) {
        if (CDeviceInfo::isFieldRole(entry.role))
            names.insert(entry.role, QByteArray(entry.name));
    }
    return names;
}

QByteArray roleNameOf(int role)
{
    for (const RoleName& entry : kRoleNames) {
        if (entry.role == role)
            return QByteArray(entry.name);
    }
    return QByteArray();
}

int roleFromName(const QString& name)
{
    for (const RoleName& entry : kRoleNames) {
        if (name == QLatin1String(entry.name))
            return entry.role;
    }
    return CDeviceInfo::unknownRole;
}

void registerDeviceMetaTypes()
{
    qRegisterMetaType<std::shared_ptr<CDeviceInfo>>("std::shared_ptr<CDeviceInfo>");
    qRegisterMetaType<std::deque<std::shared_ptr<CDeviceInfo>>>(
        "std::deque<std::shared_ptr<CDeviceInfo>>");
    qRegisterMetaType<QMap<int, QVariant>>("QMap<int,QVariant>");
    qRegisterMetaType<QVector<int>>("QVector<int>");
}
