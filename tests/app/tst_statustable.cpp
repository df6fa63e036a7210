#include "CCorvaneTableStatus.h"

#include <QMetaEnum>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickItem>
#include <QSet>
#include <QTest>
#include <memory>

// The status table of the QML scripts against the enumeration, and the status cell that shows it.
class TestStatusTable : public QObject
{
    Q_OBJECT

    QQmlEngine m_engine;
    std::unique_ptr<QObject> m_table;

    QVariant call(const char* function, const QVariant& argument)
    {
        QVariant result;
        const bool ok = QMetaObject::invokeMethod(
            m_table.get(), function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, argument));
        if (!ok)
            qWarning("cannot call %s", function);
        return result;
    }

    std::unique_ptr<QObject> create(const QByteArray& qml)
    {
        QQmlComponent component(&m_engine);
        component.setData(qml, QUrl("qrc:/test/Probe.qml"));
        std::unique_ptr<QObject> object(component.create());
        if (!object)
            qWarning() << component.errors();
        return object;
    }

private slots:
    void initTestCase()
    {
        m_table = create("import QtQuick 2.15\n"
                         "import \"qrc:/src/qml/js/StatusTable.js\" as T\n"
                         "QtObject {\n"
                         "  function text(c) { return T.statusText(c) }\n"
                         "  function tooltip(c) { return T.statusTooltip(c) }\n"
                         "  function icon(c) { return T.statusIcon(c) }\n"
                         "  function codes(x) { return T.statusDataList.map(function(e) {"
                         " return e.code }) }\n"
                         "}\n");
        QVERIFY(m_table);
    }

    void entries_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tooltip");

        QTest::newRow("no status") << -1 << ""
                                   << ""
                                   << "";
        QTest::newRow("unknown failure") << 0 << "WARNING"
                                         << "Failed"
                                         << "Failed";
        QTest::newRow("pre-test failed has nothing") << 100 << ""
                                                     << ""
                                                     << "";
        QTest::newRow("authorized") << 104 << "LOGIN_SUCCESS"
                                    << "Authorized successfully"
                                    << "Authorized successfully";
        QTest::newRow("server not found") << 106 << "WARNING"
                                          << "Disconnected"
                                          << "Disconnected";
        QTest::newRow("timeout reads the same") << 107 << "WARNING"
                                                << "Disconnected"
                                                << "Disconnected";
        QTest::newRow("needs password") << 108 << "NEEDPASSWORD"
                                        << ""
                                        << "";
        QTest::newRow("import auth failure is plain") << 202 << "WARNING"
                                                      << "Failed"
                                                      << "Failed";
        QTest::newRow("setup auth failure names credentials")
            << 209 << "WARNING"
            << "Failed to verify user name/password"
            << "Failed to verify user name/password";
        QTest::newRow("loading") << 801 << "LOADING"
                                 << ""
                                 << "";
        QTest::newRow("unsupported debug export looks successful") << 1003 << "SUCCESS"
                                                                   << ""
                                                                   << "";
        QTest::newRow("module failure has its own tooltip") << 1202 << "WARNING"
                                                            << "Failed"
                                                            << "Failed to change package status";
        QTest::newRow("unsupported module version has no entry") << 1205 << ""
                                                                 << ""
                                                                 << "";
        QTest::newRow("outside the table") << 4242 << ""
                                           << ""
                                           << "";
    }

    void entries()
    {
        QFETCH(int, code);
        QFETCH(QString, icon);
        QFETCH(QString, text);
        QFETCH(QString, tooltip);
        QCOMPARE(call("icon", code).toString(), icon);
        QCOMPARE(call("text", code).toString(), text);
        QCOMPARE(call("tooltip", code).toString(), tooltip);
    }

    void notANumberHasNoEntry()
    {
        QCOMPARE(call("icon", QVariant()).toString(), QString());
        QCOMPARE(call("text", QString("104")).toString(), QString());
    }

    // Every code of the enumeration except the two without a look has an entry, and the table
    // names no code the enumeration lacks: the two lists cannot drift apart unnoticed.
    void tableMatchesEnumeration()
    {
        const QMetaEnum meta = QMetaEnum::fromType<CCorvaneTableStatus::E_Status_Table>();
        QSet<int> enumCodes;
        for (int i = 0; i < meta.keyCount(); ++i)
            enumCodes.insert(meta.value(i));
        enumCodes.remove(CCorvaneTableStatus::Empty);
        enumCodes.remove(CCorvaneTableStatus::ZAPKPage_UnsupportedVersion);

        QSet<int> tableCodes;
        const QVariantList codes = call("codes", 0).toList();
        for (const QVariant& code : codes)
            tableCodes.insert(code.toInt());
        QCOMPARE(codes.size(), tableCodes.size());
        QCOMPARE(tableCodes, enumCodes);
    }

    void statusCell_data()
    {
        QTest::addColumn<QVariant>("status");
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("busy");

        QTest::newRow("empty") << QVariant(-1) << "" << false;
        QTest::newRow("unset role") << QVariant() << "" << false;
        QTest::newRow("text is not a code") << QVariant(QString("802")) << "" << false;
        QTest::newRow("success") << QVariant(802) << "Item_success_Icon.png" << false;
        QTest::newRow("login success")
            << QVariant(104) << "Item_success_mainpage_Icon.png" << false;
        QTest::newRow("login failure") << QVariant(101) << "Common_login_fail.png" << false;
        QTest::newRow("warning") << QVariant(806) << "Common_warning_Icon.png" << false;
        QTest::newRow("needs password")
            << QVariant(108) << "Item_addpassword_mainpage_Icon.png" << false;
        QTest::newRow("loading animates") << QVariant(102) << "" << true;
        QTest::newRow("unsupported debug export")
            << QVariant(1003) << "Item_success_Icon.png" << false;
        QTest::newRow("no entry") << QVariant(1205) << "" << false;
    }

    void statusCell()
    {
        QFETCH(QVariant, status);
        QFETCH(QString, image);
        QFETCH(bool, busy);

        std::unique_ptr<QObject> cell = create("import QtQuick 2.15\n"
                                               "import \"qrc:/src/qml/Common\"\n"
                                               "StatusCell {}\n");
        QVERIFY(cell);
        QVERIFY(QQmlProperty::write(cell.get(), "status", status));
        QObject* icon = cell->findChild<QObject*>("statusIcon");
        QObject* indicator = cell->findChild<QObject*>("statusBusy");
        QVERIFY(icon && indicator);
        const QUrl source = icon->property("source").toUrl();
        if (image.isEmpty()) {
            QVERIFY2(source.isEmpty(), qPrintable(source.toString()));
            QVERIFY(!icon->property("visible").toBool());
        } else {
            QCOMPARE(source.fileName(), image);
            QVERIFY(icon->property("visible").toBool());
        }
        QCOMPARE(indicator->property("running").toBool(), busy);
    }
};

QTEST_MAIN(TestStatusTable)
#include "tst_statustable.moc"
