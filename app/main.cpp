// Ardmere's entry point: refuse a second copy, prepare the device pack, create every controller
// once in a fixed order, publish them to QML, load the main window, and tear all of it down in the
// reverse order. Objects live on main's stack, so the reverse order is the order of destruction.

#include "CAliasIpCtrl.h"
#include "CCorvaneTableStatus.h"
#include "CExitSignalHandler.h"
#include "CSingleInstance.h"
#include "CSystemCtrl.h"
#include "Settings.h"

#include "CDeviceInfo.h"
#include "CDeviceSortFilterModel.h"
#include "CMainDeviceChain.h"
#include "CMainPageCtrl.h"
#include "CModelCtrl.h"
#include "CNeedPasswordFilterModel.h"
#include "CPasswordPolicyCheck.h"
#include "CUnauthorizedFilterModel.h"
#ifdef ARDMERE_HAVE_REMOTECONTROL
#include "UIRemoteControl.h"
#endif
#ifdef ARDMERE_HAVE_BATCHSETUP
#include "CBatchSetupPageCtrl.h"
#include "CDevicePackInstaller.h"
#endif
#ifdef ARDMERE_HAVE_MAINTENANCE
#include "CAssignIpPageCtrl.h"
#include "CCgiGetPageCtrl.h"
#include "CExportDebugPageCtrl.h"
#include "CExportDevicesPageCtrl.h"
#include "CPageCtrl.h"
#include "CRebootPageCtrl.h"
#include "CRestorePageCtrl.h"
#endif
#ifdef ARDMERE_HAVE_FIRMWARE
#include "CFirmwarePageCtrl.h"
#include "CFirmwarePageModel.h"
#endif
#ifdef ARDMERE_HAVE_CAMERAAPPS
#include "CModelCtrl.h"
#include "CZAPKLeftModel.h"
#include "CZAPKPageCtrl.h"
#include "CZAPKPageModel.h"
#include "CZapkLicensePageCtrl.h"
#include "CZapkLicensePageModel.h"
#include "CZapkPackagePageCtrl.h"
#include "CZapkPackagePageModel.h"
#endif

#include <QApplication>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QResource>
#include <QUrl>
#include <QtDebug>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    CSingleInstance singleInstance(QStringLiteral("Ardmere_SINGLE_APP_CHECKER"));
    if (!singleInstance.acquire()) {
        qDebug("Please close the Corvane before starting.");
        return 1;
    }

    QCoreApplication::setOrganizationName(QStringLiteral("Ardmere"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("ardmere.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));

    // Device pack: a newer ".vdp" beside the program is unpacked before anything reads the pack.
    QString devicePackVersion;
    // [seam: device pack preparation]
#ifdef ARDMERE_HAVE_BATCHSETUP
    const CDevicePackInstaller devicePackInstaller = CDevicePackInstaller::forApplication();
    devicePackVersion = devicePackInstaller.prepareDevicePack();
#endif

    registerDeviceMetaTypes();

    // Controllers, in their fixed creation order. Each operation subsystem joins here when it is
    // built: alias address, main page, batch setup, IP assignment, application packages and
    // licences, restore, debug export, CGI, system, application modules, firmware, reboot, device
    // export.
    // [seam: alias address controller]
    // SIGTERM and SIGINT end the event loop instead of the process, so that everything below is
    // destroyed in order and the alias addresses are removed.
    CExitSignalHandler exitSignalHandler;
    CAliasIpCtrl aliasIpCtrl;
    CMainPageCtrl mainPageCtrl;
    CMainDeviceChain& mainDeviceChain = *mainPageCtrl.chain();
#ifdef ARDMERE_HAVE_BATCHSETUP
    CBatchSetupPageCtrl batchSetupPageCtrl(devicePackInstaller.workDirectory());
#endif
    // [seam: page controllers before the system controller]
#ifdef ARDMERE_HAVE_MAINTENANCE
    CAssignIpPageCtrl assignIpPageCtrl;
#endif
#ifdef ARDMERE_HAVE_CAMERAAPPS
    CZapkPackagePageCtrl zapkPackagePageCtrl;
    CZapkLicensePageCtrl zapkLicensePageCtrl;
#endif
#ifdef ARDMERE_HAVE_MAINTENANCE
    CRestorePageCtrl restorePageCtrl;
    CExportDebugPageCtrl exportDebugPageCtrl;
    CCgiGetPageCtrl cgiGetPageCtrl;
#endif
    CSystemCtrl systemCtrl;
    // The password dialogs judge typed passwords with it.
    CPasswordPolicyCheck passwordPolicyCheck;
    // [seam: page controllers after the system controller]
#ifdef ARDMERE_HAVE_CAMERAAPPS
    CZAPKPageCtrl zapkPageCtrl;
#endif
#ifdef ARDMERE_HAVE_FIRMWARE
    CFirmwarePageCtrl firmwarePageCtrl;
#endif
#ifdef ARDMERE_HAVE_MAINTENANCE
    CRebootPageCtrl rebootPageCtrl;
    CExportDevicesPageCtrl exportDevicesPageCtrl;
#endif

    QQmlApplicationEngine engine;
    QQuickWindow::setDefaultAlphaBuffer(
        readSettingsValue(QStringLiteral("transparentWindow"), true).toBool());

    qmlRegisterType<CCorvaneTableStatus>("CCorvaneTableStatus", 1, 0, "CCorvaneTableStatus");
    qmlRegisterType<CMainPageCtrl>("CMainPageCtrl", 1, 0, "CMainPageCtrl");
    // [seam: QML types of page controllers]
#ifdef ARDMERE_HAVE_MAINTENANCE
    qmlRegisterType<CPageCtrl>("CPageCtrl", 1, 0, "CPageCtrl");
#endif
#ifdef ARDMERE_HAVE_FIRMWARE
    qmlRegisterType<CFirmwarePageCtrl>("CFirmwarePageCtrl", 1, 0, "CFirmwarePageCtrl");
#endif
#ifdef ARDMERE_HAVE_MAINTENANCE
    qmlRegisterType<CAssignIpPageCtrl>("CAssignIpPageCtrl", 1, 0, "CAssignIpPageCtrl");
#endif
#ifdef ARDMERE_HAVE_CAMERAAPPS
    qmlRegisterType<CZAPKPageCtrl>("CZAPKPageCtrl", 1, 0, "CZAPKPageCtrl");
#endif

    QQmlContext* context = engine.rootContext();
    // [seam: aliasIpCtrl]
    context->setContextProperty(QStringLiteral("aliasIpCtrl"), &aliasIpCtrl);
    context->setContextProperty(QStringLiteral("deviceListModel"),
                                mainDeviceChain.sortFilterModel());
    context->setContextProperty(QStringLiteral("deviceListSortFilterCtrl"),
                                mainDeviceChain.sortFilterModel());
    context->setContextProperty(QStringLiteral("mainPageDeviceListCtrl"),
                                mainDeviceChain.modelCtrl());
    context->setContextProperty(QStringLiteral("unauthorizedFilterModel"),
                                mainDeviceChain.unauthorizedFilterModel());
    context->setContextProperty(QStringLiteral("needPasswordFilterModel"),
                                mainDeviceChain.needPasswordFilterModel());
    mainPageCtrl.setEngine(&engine);
    context->setContextProperty(QStringLiteral("mainPageCtrl"), &mainPageCtrl);
#ifdef ARDMERE_HAVE_BATCHSETUP
    batchSetupPageCtrl.SetMainModelCtrl(mainDeviceChain.modelCtrl());
    context->setContextProperty(QStringLiteral("batchSetupPageCtrl"), &batchSetupPageCtrl);
    context->setContextProperty(QStringLiteral("batchSetupDevicesModel"),
                                batchSetupPageCtrl.DevicesModel());
    context->setContextProperty(QStringLiteral("batchSetupDevicesModelCtrl"),
                                batchSetupPageCtrl.DevicesModelCtrl());
    context->setContextProperty(QStringLiteral("batchSetupFailedModel"),
                                batchSetupPageCtrl.FailedModel());
    context->setContextProperty(QStringLiteral("batchSetupTemplateDevicesModel"),
                                batchSetupPageCtrl.TemplateDevicesModel());
    context->setContextProperty(QStringLiteral("batchSetupTemplateDevicesModelCtrl"),
                                batchSetupPageCtrl.TemplateDevicesModelCtrl());
#endif
    // [seam: the page controllers' context properties]
#ifdef ARDMERE_HAVE_MAINTENANCE
    {
        // Each page takes the user's selection from the main page's list controller.
        const auto publish = [context, &mainDeviceChain](CPageCtrl& page, const QString& prefix,
                                                         bool withFailedModel) {
            page.SetMainModelCtrl(mainDeviceChain.modelCtrl());
            context->setContextProperty(prefix + QStringLiteral("PageCtrl"), &page);
            context->setContextProperty(prefix + QStringLiteral("DevicesModel"),
                                        page.DevicesModel());
            context->setContextProperty(prefix + QStringLiteral("DevicesModelCtrl"),
                                        page.DevicesModelCtrl());
            if (withFailedModel)
                context->setContextProperty(prefix + QStringLiteral("FailedModel"),
                                            page.FailedModel());
        };
#ifdef ARDMERE_HAVE_CAMERAAPPS
        // The application page finds its devices in the main list itself.
        zapkPageCtrl.SetMainDeviceList(mainDeviceChain.sortFilterModel());
        context->setContextProperty(QStringLiteral("zapkPageCtrl"), &zapkPageCtrl);
        context->setContextProperty(QStringLiteral("zapkPageModel"), zapkPageCtrl.PageModel());
        context->setContextProperty(QStringLiteral("zapkSelectedDevicesModel"),
                                    zapkPageCtrl.SelectedDevicesModel());
        context->setContextProperty(QStringLiteral("zapkButtonModel"), zapkPageCtrl.ButtonModel());
        context->setContextProperty(QStringLiteral("zapkStereoExportModel"),
                                    zapkPageCtrl.StereoExportModel());
        context->setContextProperty(QStringLiteral("zapkModelCtrl"), zapkPageCtrl.PageModelCtrl());
        context->setContextProperty(QStringLiteral("zapkSelectedModelCtrl"),
                                    zapkPageCtrl.SelectedModelCtrl());
        context->setContextProperty(QStringLiteral("zapkStereoExportCtrl"),
                                    zapkPageCtrl.StereoExportCtrl());
#endif
#ifdef ARDMERE_HAVE_FIRMWARE
        firmwarePageCtrl.SetMainModelCtrl(mainDeviceChain.modelCtrl());
        context->setContextProperty(QStringLiteral("firmwarePageCtrl"), &firmwarePageCtrl);
        context->setContextProperty(QStringLiteral("firmwarePageModel"),
                                    firmwarePageCtrl.PageModel());
        context->setContextProperty(QStringLiteral("firmwareDevicesModel"),
                                    firmwarePageCtrl.DevicesModel());
        context->setContextProperty(QStringLiteral("firmwareDevicesModelCtrl"),
                                    firmwarePageCtrl.DevicesModelCtrl());
#endif
#ifdef ARDMERE_HAVE_CAMERAAPPS
        publish(zapkPackagePageCtrl, QStringLiteral("zapkPackage"), false);
        context->setContextProperty(QStringLiteral("zapkPackagePageModel"),
                                    zapkPackagePageCtrl.PageModel());
        publish(zapkLicensePageCtrl, QStringLiteral("zapkLicense"), false);
        context->setContextProperty(QStringLiteral("zapkLicensePageModel"),
                                    zapkLicensePageCtrl.PageModel());
#endif
        publish(rebootPageCtrl, QStringLiteral("reboot"), true);
        publish(restorePageCtrl, QStringLiteral("restore"), true);
        publish(cgiGetPageCtrl, QStringLiteral("cgiGet"), false);
        publish(exportDevicesPageCtrl, QStringLiteral("exportDevices"), true);
        publish(exportDebugPageCtrl, QStringLiteral("exportDebug"), true);
        // Not a framework page: the same names, by hand.
        assignIpPageCtrl.SetMainModelCtrl(mainDeviceChain.modelCtrl());
        context->setContextProperty(QStringLiteral("assignIpPageCtrl"), &assignIpPageCtrl);
        context->setContextProperty(QStringLiteral("assignIpDevicesModel"),
                                    assignIpPageCtrl.DevicesModel());
        context->setContextProperty(QStringLiteral("assignIpDevicesModelCtrl"),
                                    assignIpPageCtrl.DevicesModelCtrl());
    }
#endif
    context->setContextProperty(QStringLiteral("systemCtrl"), &systemCtrl);
    context->setContextProperty(QStringLiteral("passwordPolicyCheck"), &passwordPolicyCheck);
    context->setContextProperty(QStringLiteral("strDevicePackVersion"), devicePackVersion);

    // [seam: DevicePack.rcc registration]
#ifdef ARDMERE_HAVE_BATCHSETUP
    devicePackInstaller.registerResource();
#endif

    QUrl mainUrl(QStringLiteral("qrc:/src/qml/main.qml"));
    if (argc > 1)
        // A plain file path works as well as a URL ("file:///...", "qrc:/...").
        mainUrl = QUrl::fromUserInput(QString::fromLatin1(argv[1]), QDir::currentPath(),
                                      QUrl::AssumeLocalFile);
    engine.load(mainUrl);
    if (engine.rootObjects().isEmpty()) {
        // Nothing to show: staying alive without a window would only leave a stray process.
        qDebug() << "Cannot load" << mainUrl.toString();
        return 1;
    }

    // [seam: remote-control server]
#ifdef ARDMERE_HAVE_REMOTECONTROL
    // Declared after the engine, so it is destroyed first: no command can reach a QML object
    // while the scene is being torn down.
    std::shared_ptr<UIRemoteControl> remoteControl;
    if (readSettingsValue(QStringLiteral("uiRemoteControl"), false).toBool()) {
        const int port =
            readSettingsValue(QStringLiteral("uiRemoteControlPort"), UIRemoteControl::kDefaultPort)
                .toInt();
        remoteControl = std::make_shared<UIRemoteControl>(engine.rootObjects().first(),
                                                          engine.rootContext(), port);
    }
#endif

    return app.exec();
}
