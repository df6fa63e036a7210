#include "DeviceIdentity.h"
#include "SdCardReport.h"

#include <QTest>

class TestDeviceIdentity : public QObject
{
    Q_OBJECT

private slots:
    void macFromSerial_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("mac");
        QTest::newRow("colons") << "00:02:D1:A1:B2:C3"
                                << "00-02-D1-A1-B2-C3";
        QTest::newRow("twelve digits") << "0002D1A1B2C3"
                                       << "00-02-D1-A1-B2-C3";
        QTest::newRow("case kept") << "0002d1a1b2c3"
                                   << "00-02-d1-a1-b2-c3";
        QTest::newRow("odd length counts from the end") << "ABCDE"
                                                        << "A-BC-DE";
        QTest::newRow("empty") << ""
                               << "";
    }

    void macFromSerial()
    {
        QFETCH(QString, serial);
        QFETCH(QString, mac);
        QCOMPARE(::macFromSerial(serial), mac);
    }

    void identityAnswer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("cameraModelName");

        QTest::newRow("extended model wins")
            << QByteArray("system_info_extendedmodelname='QD8182-EX'\r\n"
                          "system_info_serialnumber='0002D1A1B2C3'\r\n"
                          "system_info_firmwareversion='QD8182-QXOR-0104a'\r\n"
                          "system_info_modelname='QD8182'\r\n")
            << "QD8182-EX"
            << "00-02-D1-A1-B2-C3"
            << "0104a"
            << "QD8182";
        QTest::newRow("empty extended model falls back")
            << QByteArray("system_info_extendedmodelname=''\r\nsystem_info_modelname='QB9365'\r\n"
                          "system_info_firmwareversion='odd'\r\n")
            << "QB9365"
            << ""
            << "odd"
            << "QB9365";
        QTest::newRow("later name replaces earlier")
            << QByteArray("system_info_modelname='A'\r\nsystem_info_modelname='B'\r\n") << "B"
            << ""
            << ""
            << "B";
    }

    void identityAnswer()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, model);
        QFETCH(QString, mac);
        QFETCH(QString, firmware);
        QFETCH(QString, cameraModelName);
        const RoleMap info = identityInfo(body);
        QCOMPARE(info.value(CDeviceInfo::modelRole).toString(), model);
        QCOMPARE(info.value(CDeviceInfo::macRole).toString(), mac);
        QCOMPARE(info.value(CDeviceInfo::firmwareRole).toString(), firmware);
        QCOMPARE(info.value(CDeviceInfo::cameraModelNameRole).toString(), cameraModelName);
    }

    void sdCardReport_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("usage");

        QTest::newRow("empty") << ""
                               << "detached"
                               << "";
        QTest::newRow("first detached, second decides")
            << "<i0><cond>detached</cond></i0><i1><totalsize>2048</totalsize>"
               "<usedspace>512</usedspace><cond>ready</cond></i1>"
            << "ready"
            << "25.00";
        QTest::newRow("all detached")
            << "<i0><cond>detached</cond></i0><i1><cond>detached</cond></i1>"
            << "detached"
            << "";
        QTest::newRow("unknown size") << "<i0><cond>ready</cond><usedspace>5</usedspace></i0>"
                                      << "ready"
                                      << "";
        QTest::newRow("no condition still decides")
            << "<i0><totalsize>3</totalsize><usedspace>1</usedspace></i0>"
            << ""
            << "33.33";
        QTest::newRow("item across lines is not an item")
            << "<i0><cond>ready</cond>\n<totalsize>10</totalsize></i0>"
            << "detached"
            << "";
        QTest::newRow("large card") << "<i0><cond>ready</cond><totalsize>1000000000000</totalsize>"
                                       "<usedspace>1</usedspace></i0>"
                                    << "ready"
                                    << "0.00";
    }

    void sdCardReport()
    {
        QFETCH(QString, report);
        QFETCH(QString, condition);
        QFETCH(QString, usage);
        const SdCardState state = parseSdCardStatus(report);
        QCOMPARE(state.condition, condition);
        QCOMPARE(state.usage, usage);
    }
};

QTEST_GUILESS_MAIN(TestDeviceIdentity)
#include "tst_deviceidentity.moc"
