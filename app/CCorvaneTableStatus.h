#pragma once

#include <QObject>

// The one numbering of row statuses shared by every page: -1 no status, 0 a failure of unknown
// cause, and a block of a hundred per page. QML reads the names as CCorvaneTableStatus.<Name>;
// the icon and text of each code live in the status table of the QML scripts (js/StatusTable.js).
class CCorvaneTableStatus : public QObject
{
    Q_OBJECT
public:
    enum E_Status_Table
    {
        Empty = -1,
        UnknownFail = 0,

        MainPage_AuthorizePreTestFailed = 100,
        MainPage_AuthorizeAuthFail = 101,
        MainPage_AuthorizeWorking = 102,
        MainPage_AuthorizeInQueue = 103,
        MainPage_AuthorizeSuccess = 104,
        MainPage_AuthorizeInvalidInput = 105,
        MainPage_AuthorizeServerNotFound = 106,
        MainPage_AuthorizeTimeout = 107,
        MainPage_AuthorizeNeedToSetPassword = 108,

        BatchSetupPage_ImportSuccess = 200,
        BatchSetupPage_ImportConnFail = 201,
        BatchSetupPage_ImportAuthFail = 202,
        BatchSetupPage_ImportTimeout = 203,
        BatchSetupPage_SetupLoading = 204,
        BatchSetupPage_SetupSuccess = 205,
        BatchSetupPage_SetupFail = 206,
        BatchSetupPage_SetupInvalidInput = 207,
        BatchSetupPage_SetupNetworkError = 208,
        BatchSetupPage_SetupAuthFail = 209,
        BatchSetupPage_SetupTimeout = 210,

        AssignIpPage_Loading = 300,
        AssignIpPage_Verifying = 301,
        AssignIpPage_Success = 302,
        AssignIpPage_Skipped = 303,
        AssignIpPage_ConnFail = 304,
        AssignIpPage_AuthFail = 305,
        AssignIpPage_Timeout = 306,

        FirmwarePage_WaitToWork = 400,
        FirmwarePage_Loading = 401,
        FirmwarePage_Uploaded = 402,
        FirmwarePage_Success = 403,
        FirmwarePage_Fail = 404,
        FirmwarePage_NetworkError = 405,
        FirmwarePage_CannotOpenFile = 406,
        FirmwarePage_AuthFail = 407,
        FirmwarePage_Timeout = 408,

        ZapkLicensePage_WaitToWork = 500,
        ZapkLicensePage_Loading = 501,
        ZapkLicensePage_Uploaded = 502,
        ZapkLicensePage_Success = 503,
        ZapkLicensePage_Fail = 504,
        ZapkLicensePage_NetworkError = 505,
        ZapkLicensePage_CannotOpenFile = 506,
        ZapkLicensePage_AuthFail = 507,
        ZapkLicensePage_Timeout = 508,

        ZapkPackagePage_WaitToWork = 600,
        ZapkPackagePage_Loading = 601,
        ZapkPackagePage_Uploaded = 602,
        ZapkPackagePage_Success = 603,
        ZapkPackagePage_Fail = 604,
        ZapkPackagePage_NetworkError = 605,
        ZapkPackagePage_CannotOpenFile = 606,
        ZapkPackagePage_AuthFail = 607,
        ZapkPackagePage_Timeout = 608,

        RestorePage_Loading = 700,
        RestorePage_Success = 701,
        RestorePage_UnknownFail = 702,
        RestorePage_Unsupported = 703,
        RestorePage_AuthFail = 704,
        RestorePage_Timeout = 705,

        RebootPage_Loading = 800,
        RebootPage_Rebooting = 801,
        RebootPage_Success = 802,
        RebootPage_UnknownFail = 803,
        RebootPage_Unsupported = 804,
        RebootPage_AuthFail = 805,
        RebootPage_Timeout = 806,

        ExportDevicesPage_Loading = 900,
        ExportDevicesPage_Success = 901,
        ExportDevicesPage_UnknownFail = 902,
        ExportDevicesPage_Unsupported = 903,
        ExportDevicesPage_AuthFail = 904,
        ExportDevicesPage_Timeout = 905,

        ExportDebugPage_Loading = 1000,
        ExportDebugPage_Success = 1001,
        ExportDebugPage_UnknownFail = 1002,
        ExportDebugPage_Unsupported = 1003,
        ExportDebugPage_WriteFailed = 1004,
        ExportDebugPage_AuthFail = 1005,
        ExportDebugPage_Timeout = 1006,

        CgiGetPage_Loading = 1100,
        CgiGetPage_Success = 1101,
        CgiGetPage_UnknownFail = 1102,
        CgiGetPage_Unsupported = 1103,
        CgiGetPage_AuthFail = 1104,
        CgiGetPage_Timeout = 1105,

        ZAPKPage_Loading = 1200,
        ZAPKPage_Success = 1201,
        ZAPKPage_UnknownFail = 1202,
        ZAPKPage_AuthFail = 1203,
        ZAPKPage_Timeout = 1204,
        ZAPKPage_UnsupportedVersion = 1205,
    };
    Q_ENUM(E_Status_Table)

    explicit CCorvaneTableStatus(QObject* parent = nullptr) : QObject(parent) {}
};
