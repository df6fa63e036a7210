#include "DeviceIdentity.h"

#include "ModelNames.h"
#include "ParamReply.h"

#include <QHash>

QString macFromSerial(const QString& serial)
{
    if (serial.contains(QLatin1Char(':'))) {
        QString mac = serial;
        return mac.replace(QLatin1Char(':'), QLatin1Char('-'));
    }
    QString mac;
    const int length = serial.size();
    for (int i = 0; i < length; ++i) {
        // A dash before every second character counted from the end.
        if (i > 0 && (length - i) % 2 == 0)
            mac.append(QLatin1Char('-'));
        mac.append(serial.at(i));
    }
    return mac;
}

RoleMap identityInfo(const QByteArray& body)
{
    QHash<QString, QString> values;
    for (const auto& pair : parseParamPairs(body))
        values.insert(pair.first, pair.second);

    const QString extendedModel = values.value(QStringLiteral("system_info_extendedmodelname"));
    const QString modelName = values.value(QStringLiteral("system_info_modelname"));
    const QString firmwareInfo = values.value(QStringLiteral("system_info_firmwareversion"));

    RoleMap info;
    info.insert(CDeviceInfo::modelRole, extendedModel.isEmpty() ? modelName : extendedModel);
    info.insert(CDeviceInfo::macRole,
                macFromSerial(values.value(QStringLiteral("system_info_serialnumber"))));
    info.insert(CDeviceInfo::firmwareInfoRole, firmwareInfo);
    info.insert(CDeviceInfo::firmwareRole, firmwareFromInfo(firmwareInfo));
    info.insert(CDeviceInfo::cameraModelNameRole, modelName);
    return info;
}
