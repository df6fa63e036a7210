#pragma once

#include <QMap>
#include <QString>
#include <QVariantMap>

// The password rules a device announces through its layout_defaultpassword_* parameters, as the
// rule map the password dialogs judge a typed password against:
//   "specialCharacters" (text shown to the user), "minPasswordLength", "maxPasswordLength",
//   "atLeastOneAlphabet", "atLeastOneSpecialCharacters", "atLeastOneNumber",
//   "atLeastOneLowerCase", "atLeastOneCapital", "accountAndPasswordNotSame".
// Missing or empty parameters take the defaults of the devices' factory firmware.
QVariantMap passwordPolicyRule(const QMap<QString, QString>& values);

// The special characters shown when a device names none (12 characters, backslashes included).
QString defaultPasswordSpecialCharacters();
