// The device list model: row data, insertion and de-duplication rules, discovery's identity rule,
// and the role-map editor acting on it.
#include "CDeviceListModel.h"
#include "CRoleMapEditor.h"
#include "DeviceTestUtil.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace devicetest;
using RoleMapList = QList<RoleMap>;

class TestDeviceListModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    void fill(const QStringList& specs) { m_model->ResetList(devices(specs)); }

private slots:
    void initTestCase() { registerDeviceMetaTypes(); }

    void init()
    {
        m_model = std::make_unique<CDeviceListModel>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void cleanup()
    {
        m_tester.reset();
        m_model.reset();
    }

    void insertedRowsHaveDefaults_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("http port") << int(CDeviceInfo::httpPortRole) << QVariant(80);
        QTest::newRow("https port") << int(CDeviceInfo::httpsPortRole) << QVariant(443);
        QTest::newRow("cms port") << int(CDeviceInfo::cmsPortRole) << QVariant(3454);
        QTest::newRow("drm searched") << int(CDeviceInfo::drmSearchedRole) << QVariant(false);
        QTest::newRow("ip") << int(CDeviceInfo::ipRole) << QVariant(QString());
        QTest::newRow("sd use") << int(CDeviceInfo::sdCardUseRole) << QVariant(QString());
    }

    void insertedRowsHaveDefaults()
    {
        QFETCH(int, role);
        QFETCH(QVariant, value);
        fill({"10.0.0.1", "10.0.0.2"});
        QVERIFY(m_model->insertRows(1, 2));
        QCOMPARE(m_model->rowCount(), 4);
        QCOMPARE(addresses(*m_model).first(), QStringLiteral("10.0.0.1:80"));
        QCOMPARE(addresses(*m_model).last(), QStringLiteral("10.0.0.2:80"));
        for (int row : {1, 2}) {
            const QVariant actual = m_model->index(row, 0).data(role);
            QCOMPARE(actual, value);
            QCOMPARE(actual.userType(), value.userType());
        }
    }

    void insertRowsArguments_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("result");
        QTest::newRow("front") << 0 << 1 << true;
        QTest::newRow("end") << 3 << 2 << true;
        QTest::newRow("past end") << 4 << 1 << false;
        QTest::newRow("negative row") << -1 << 1 << false;
        QTest::newRow("zero count") << 1 << 0 << false;
        QTest::newRow("negative count") << 1 << -2 << false;
    }

    void insertRowsArguments()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(bool, result);
        fill({"10.0.0.1", "10.0.0.2", "10.0.0.3"});
        QCOMPARE(m_model->insertRows(row, count), result);
        QCOMPARE(m_model->rowCount(), result ? 3 + count : 3);
    }

    void removeRowsArguments_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"1.0.0.0:80", "2.0.0.0:80", "3.0.0.0:80", "4.0.0.0:80", "5.0.0.0:80"};
        QTest::newRow("count zero") << 2 << 0 << all;
        QTest::newRow("row at end") << 5 << 1 << all;
        QTest::newRow("range past end") << 3 << 3 << all;
        QTest::newRow("negative row") << -1 << 2 << all;
        QTest::newRow("last row") << 4 << 1 << QStringList(all.mid(0, 4));
        QTest::newRow("middle") << 1 << 2 << QStringList{"1.0.0.0:80", "4.0.0.0:80", "5.0.0.0:80"};
        QTest::newRow("all") << 0 << 5 << QStringList();
    }

    void removeRowsArguments()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, remaining);
        fill({"1.0.0.0", "2.0.0.0", "3.0.0.0", "4.0.0.0", "5.0.0.0"});
        const bool removes = remaining.size() != 5;
        QCOMPARE(m_model->removeRows(row, count), removes);
        QCOMPARE(addresses(*m_model), remaining);
    }

    void dataOutsideTheRecord_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("role");
        QTest::newRow("appended role") << 0 << int(CDeviceInfo::statusRole);
        QTest::newRow("display role") << 0 << int(Qt::DisplayRole);
        QTest::newRow("row past end") << 1 << int(CDeviceInfo::ipRole);
    }

    void dataOutsideTheRecord()
    {
        QFETCH(int, row);
        QFETCH(int, role);
        fill({"10.0.0.1"});
        const QModelIndex idx = m_model->index(0, 0);
        QVERIFY(!m_model->data(row == 0 ? idx : m_model->index(row, 0), role).isValid());
    }

    void setDataAlwaysEmits()
    {
        fill({"10.0.0.1"});
        QSignalSpy spy(m_model.get(), &QAbstractItemModel::dataChanged);
        const QModelIndex idx = m_model->index(0, 0);
        QVERIFY(m_model->setData(idx, "10.0.0.1", CDeviceInfo::ipRole));
        QVERIFY(m_model->setData(idx, "10.0.0.1", CDeviceInfo::ipRole));
        QCOMPARE(spy.count(), 2);
        for (const QList<QVariant>& args : spy) {
            QCOMPARE(args.at(0).toModelIndex(), idx);
            QCOMPARE(args.at(1).toModelIndex(), idx);
            QCOMPARE(args.at(2).value<QVector<int>>(), QVector<int>{CDeviceInfo::ipRole});
        }
    }

    void setDataRefused_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("validIndex");
        QTest::newRow("status lives in a proxy") << int(CDeviceInfo::statusRole) << true;
        QTest::newRow("selected lives in a proxy") << int(CDeviceInfo::selectedRole) << true;
        QTest::newRow("unknown role") << int(CDeviceInfo::unknownRole) << true;
        QTest::newRow("display role") << int(Qt::DisplayRole) << true;
        QTest::newRow("invalid index") << int(CDeviceInfo::ipRole) << false;
    }

    void setDataRefused()
    {
        QFETCH(int, role);
        QFETCH(bool, validIndex);
        fill({"10.0.0.1"});
        QSignalSpy spy(m_model.get(), &QAbstractItemModel::dataChanged);
        const QModelIndex idx = validIndex ? m_model->index(0, 0) : QModelIndex();
        QVERIFY(!m_model->setData(idx, 5, role));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m_model->index(0, 0).data(CDeviceInfo::ipRole).toString(),
                 QStringLiteral("10.0.0.1"));
    }

    void itemDataAndRoleNames()
    {
        fill({"10.0.0.1"});
        const QMap<int, QVariant> item = m_model->itemData(m_model->index(0, 0));
        for (int role = 257; role <= 271; ++role)
            QVERIFY2(item.contains(role), qPrintable(QString::number(role)));
        QCOMPARE(item.value(CDeviceInfo::ipRole).toString(), QStringLiteral("10.0.0.1"));
        QCOMPARE(item.value(CDeviceInfo::cmsPortRole).toInt(), 3454);
        const QHash<int, QByteArray> names = m_model->roleNames();
        QCOMPARE(names.size(), 15);
        QCOMPARE(names.value(CDeviceInfo::sdCardUseRole), QByteArray("sdCardUseRole"));
        QVERIFY(!names.contains(CDeviceInfo::statusRole));
        QCOMPARE(m_model->flags(m_model->index(0, 0)), Qt::ItemIsEnabled | Qt::ItemIsEditable);
    }

    void resetListNotifiesOnce()
    {
        fill({"10.0.0.1", "10.0.0.2"});
        QSignalSpy removed(m_model.get(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
        m_model->ResetList(devices({"10.0.0.7", "10.0.0.8", "10.0.0.9"}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.first().at(2).toInt(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().at(2).toInt(), 2);
        QCOMPARE(addresses(*m_model), (QStringList{"10.0.0.7:80", "10.0.0.8:80", "10.0.0.9:80"}));

        m_model->ResetList({});
        QCOMPARE(m_model->rowCount(), 0);
        m_model->ResetList({});
        QCOMPARE(removed.count(), 2);
        QCOMPARE(inserted.count(), 1);
    }

    void insertionSlots_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("incoming");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("push front keeps order, no duplicate check")
            << "PushFrontToList" << QStringList{"10.0.0.1"} << QStringList{"10.0.0.1", "10.0.0.2"}
            << QStringList{"10.0.0.1:80", "10.0.0.2:80", "10.0.0.1:80"};
        QTest::newRow("if not exist: same ip and port dropped")
            << "PushFrontIfNotExist" << QStringList{"10.0.0.1", "10.0.0.2"}
            << QStringList{"10.0.0.3", "10.0.0.2"}
            << QStringList{"10.0.0.3:80", "10.0.0.1:80", "10.0.0.2:80"};
        QTest::newRow("if not exist: other port inserted")
            << "PushFrontIfNotExist" << QStringList{"10.0.0.1"} << QStringList{"10.0.0.1:8080"}
            << QStringList{"10.0.0.1:8080", "10.0.0.1:80"};
        QTest::newRow("if not exist: incoming duplicates both inserted")
            << "PushFrontIfNotExist" << QStringList{"10.0.0.1"}
            << QStringList{"10.0.0.5", "10.0.0.5"}
            << QStringList{"10.0.0.5:80", "10.0.0.5:80", "10.0.0.1:80"};
        QTest::newRow("if not exist: ip comparison is exact text")
            << "PushFrontIfNotExist" << QStringList{"10.0.0.1"} << QStringList{"10.0.0.01"}
            << QStringList{"10.0.0.01:80", "10.0.0.1:80"};
        QTest::newRow("back: existing row removed, new appended")
            << "PushBackRemoveExist" << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"}
            << QStringList{"10.0.0.1", "10.0.0.9"}
            << QStringList{"10.0.0.2:80", "10.0.0.3:80", "10.0.0.1:80", "10.0.0.9:80"};
        QTest::newRow("back: only the first existing duplicate removed")
            << "PushBackRemoveExist" << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.1"}
            << QStringList{"10.0.0.1"} << QStringList{"10.0.0.2:80", "10.0.0.1:80", "10.0.0.1:80"};
        QTest::newRow("back: other port kept")
            << "PushBackRemoveExist" << QStringList{"10.0.0.1"} << QStringList{"10.0.0.1:81"}
            << QStringList{"10.0.0.1:80", "10.0.0.1:81"};
        QTest::newRow("back: nothing given") << "PushBackRemoveExist" << QStringList{"10.0.0.1"}
                                             << QStringList{} << QStringList{"10.0.0.1:80"};
    }

    void insertionSlots()
    {
        QFETCH(QString, slot);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, incoming);
        QFETCH(QStringList, expected);
        fill(existing);
        const QByteArray method = slot.toLatin1();
        QVERIFY(QMetaObject::invokeMethod(
            m_model.get(), method.constData(),
            Q_ARG(std::deque<std::shared_ptr<CDeviceInfo>>, devices(incoming))));
        QCOMPARE(addresses(*m_model), expected);
    }

    // Records are shared, not copied: a change through the model is visible to the holder.
    void recordsAreShared()
    {
        auto d = device("10.0.0.1");
        m_model->PushFrontToList({d});
        QVERIFY(m_model->setData(m_model->index(0, 0), "cam", CDeviceInfo::modelRole));
        QCOMPARE(d->model, QStringLiteral("cam"));
        QCOMPARE(m_model->deviceAt(0).get(), d.get());
        QVERIFY(!m_model->deviceAt(1));
        QVERIFY(!m_model->deviceAt(-1));
    }

    void nullRecordsIgnored()
    {
        m_model->ResetList({nullptr, device("10.0.0.1"), nullptr});
        m_model->PushFrontToList({nullptr});
        m_model->PushFrontIfNotExist({nullptr, device("10.0.0.2")});
        m_model->PushBackRemoveExist({nullptr});
        m_model->appendDevice(nullptr);
        QCOMPARE(addresses(*m_model), (QStringList{"10.0.0.2:80", "10.0.0.1:80"}));
    }

    // Discovery answers: (mac, ip) in arrival order; expected rows as "ip|aliasIp".
    void appendDevice_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("link-local first")
            << QStringList{"AA-01|169.254.10.20", "AA-01|192.168.1.20"}
            << QStringList{"192.168.1.20|169.254.10.20"};
        QTest::newRow("normal first") << QStringList{"AA-01|192.168.1.20", "AA-01|169.254.10.20"}
                                      << QStringList{"192.168.1.20|169.254.10.20"};
        QTest::newRow("same address twice")
            << QStringList{"AA-01|192.168.1.20", "AA-01|192.168.1.20"}
            << QStringList{"192.168.1.20|"};
        QTest::newRow("new normal address replaces ip")
            << QStringList{"AA-01|192.168.1.20", "AA-01|192.168.1.30"}
            << QStringList{"192.168.1.30|"};
        QTest::newRow("different macs") << QStringList{"AA-01|192.168.1.20", "AA-02|192.168.1.20"}
                                        << QStringList{"192.168.1.20|", "192.168.1.20|"};
        QTest::newRow("mac comparison is exact text")
            << QStringList{"AA-01|192.168.1.20", "aa-01|169.254.1.1"}
            << QStringList{"192.168.1.20|", "169.254.1.1|"};
        QTest::newRow("second device matched among several")
            << QStringList{"AA-01|10.0.0.1", "AA-02|10.0.0.2", "AA-02|169.254.0.2"}
            << QStringList{"10.0.0.1|", "10.0.0.2|169.254.0.2"};
    }

    void appendDevice()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        for (const QString& answer : answers) {
            const QStringList parts = answer.split(QLatin1Char('|'));
            auto d = device(parts.at(1), 80, parts.at(0), true);
            d->model = QStringLiteral("from ") + parts.at(1);
            m_model->appendDevice(d);
        }
        QStringList rows;
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const QModelIndex idx = m_model->index(row, 0);
            rows << idx.data(CDeviceInfo::ipRole).toString() + QLatin1Char('|') +
                        idx.data(CDeviceInfo::aliasIpRole).toString();
        }
        QCOMPARE(rows, expected);
        // The first answer's record stays; later answers only move its addresses.
        const QString firstIp = answers.first().section(QLatin1Char('|'), 1);
        QCOMPARE(m_model->index(0, 0).data(CDeviceInfo::modelRole).toString(),
                 QStringLiteral("from ") + firstIp);
    }

    void setAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("aliasIp");
        QTest::newRow("normal") << "10.0.0.9"
                                << "10.0.0.9"
                                << "";
        QTest::newRow("link-local") << "169.254.3.4"
                                    << "10.0.0.1"
                                    << "169.254.3.4";
        QTest::newRow("prefix only as text") << "169.2541.0.1"
                                             << "10.0.0.1"
                                             << "169.2541.0.1";
        QTest::newRow("not link-local") << "169.25.0.1"
                                        << "169.25.0.1"
                                        << "";
    }

    void setAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, ip);
        QFETCH(QString, aliasIp);
        fill({"10.0.0.1"});
        m_model->setAddress(0, text);
        m_model->setAddress(1, QStringLiteral("10.9.9.9"));
        QCOMPARE(m_model->index(0, 0).data(CDeviceInfo::ipRole).toString(), ip);
        QCOMPARE(m_model->index(0, 0).data(CDeviceInfo::aliasIpRole).toString(), aliasIp);
        QCOMPARE(m_model->rowCount(), 1);
    }

    void removeMatching_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("remaining");
        // Rows: 1 discovered, 2 discovered, 3 by hand, 4 discovered, 5 discovered, 6 by hand.
        QTest::newRow("discovered devices") << int(CDeviceInfo::drmSearchedRole) << QVariant(true)
                                            << QStringList{"10.0.0.3:80", "192.168.0.6:80"};
        QTest::newRow("hand-added devices")
            << int(CDeviceInfo::drmSearchedRole) << QVariant(false)
            << QStringList{"10.0.0.1:80", "10.0.0.2:80", "10.0.0.4:80", "10.0.0.5:80"};
        QTest::newRow("starts with, case-insensitive")
            << int(CDeviceInfo::macRole) << QVariant("aa")
            << QStringList{"10.0.0.2:80", "10.0.0.4:80", "192.168.0.6:80"};
        QTest::newRow("no hit") << int(CDeviceInfo::ipRole) << QVariant("172.")
                                << QStringList{"10.0.0.1:80", "10.0.0.2:80", "10.0.0.3:80",
                                               "10.0.0.4:80", "10.0.0.5:80", "192.168.0.6:80"};
        QTest::newRow("every row") << int(CDeviceInfo::ipRole) << QVariant("") << QStringList{};
    }

    void removeMatching()
    {
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(QStringList, remaining);
        const QStringList macs{"AA-1", "BB-2", "aA-3", "CC-4", "Aa-5", "DD-6"};
        const bool drm[] = {true, true, false, true, true, false};
        std::deque<std::shared_ptr<CDeviceInfo>> list;
        for (int i = 0; i < 6; ++i) {
            const QString ip =
                i == 5 ? QStringLiteral("192.168.0.6") : QStringLiteral("10.0.0.%1").arg(i + 1);
            list.push_back(device(ip, 80, macs.at(i), drm[i]));
        }
        m_model->ResetList(list);
        m_model->removeMatching(role, value);
        QCOMPARE(addresses(*m_model), remaining);
    }

    void removeMatchingRemovesRunsFromTheEnd()
    {
        std::deque<std::shared_ptr<CDeviceInfo>> list;
        for (int i = 0; i < 7; ++i)
            list.push_back(device(QStringLiteral("10.0.0.%1").arg(i), 80, {}, i != 2 && i != 3));
        m_model->ResetList(list);
        QSignalSpy removed(m_model.get(), &QAbstractItemModel::rowsRemoved);
        m_model->removeMatching(CDeviceInfo::drmSearchedRole, true);
        QCOMPARE(removed.count(), 2);
        QCOMPARE(removed.at(0).at(1).toInt(), 4);
        QCOMPARE(removed.at(0).at(2).toInt(), 6);
        QCOMPARE(removed.at(1).at(1).toInt(), 0);
        QCOMPARE(removed.at(1).at(2).toInt(), 1);
        QCOMPARE(addresses(*m_model), (QStringList{"10.0.0.2:80", "10.0.0.3:80"}));
    }

    void modifyAndFillRow_data()
    {
        QTest::addColumn<bool>("fill");
        QTest::addColumn<RoleMap>("values");
        QTest::addColumn<RoleMap>("expected");
        const RoleMap values{{CDeviceInfo::usernameRole, "root"},
                             {CDeviceInfo::passwordRole, "pw"},
                             {CDeviceInfo::cameraModelNameRole, "QD9"},
                             {CDeviceInfo::httpsPortRole, 8443},
                             {CDeviceInfo::statusRole, 104}};
        QTest::newRow("modify writes everything it can")
            << false << values
            << RoleMap{{CDeviceInfo::usernameRole, "root"},
                       {CDeviceInfo::passwordRole, "pw"},
                       {CDeviceInfo::cameraModelNameRole, "QD9"},
                       {CDeviceInfo::httpsPortRole, 8443},
                       {CDeviceInfo::statusRole, QVariant()}};
        QTest::newRow("fill only empty texts, model name always")
            << true << values
            << RoleMap{{CDeviceInfo::usernameRole, "admin"},
                       {CDeviceInfo::passwordRole, "pw"},
                       {CDeviceInfo::cameraModelNameRole, "QD9"},
                       {CDeviceInfo::httpsPortRole, 443},
                       {CDeviceInfo::statusRole, QVariant()}};
    }

    void modifyAndFillRow()
    {
        QFETCH(bool, fill);
        QFETCH(RoleMap, values);
        QFETCH(RoleMap, expected);
        auto d = device("10.0.0.1");
        d->username = QStringLiteral("admin");
        d->cameraModelName = QStringLiteral("old");
        m_model->ResetList({device("10.0.0.0"), d});
        CRoleMapEditor editor(m_model.get());
        if (fill) {
            editor.FillModelRow(1, values);
            editor.FillModelRow(2, values);
            editor.FillModelRow(-1, values);
        } else {
            editor.ModifyModelRow(1, values);
            editor.ModifyModelRow(2, values);
            editor.ModifyModelRow(-1, values);
        }
        const QModelIndex idx = m_model->index(1, 0);
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            QCOMPARE(idx.data(it.key()), it.value());
        // Row 0 is untouched.
        QCOMPARE(m_model->index(0, 0).data(CDeviceInfo::usernameRole).toString(), QString());
    }

    void modelEntryMatching_data()
    {
        QTest::addColumn<RoleMap>("match");
        QTest::addColumn<QStringList>("updated");
        QTest::newRow("empty map matches every row")
            << RoleMap{} << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.1"};
        QTest::newRow("all matching rows, not only the first")
            << RoleMap{{CDeviceInfo::ipRole, "10.0.0.1"}} << QStringList{"10.0.0.1", "10.0.0.1"};
        QTest::newRow("every entry must match")
            << RoleMap{{CDeviceInfo::ipRole, "10.0.0.1"}, {CDeviceInfo::httpPortRole, 81}}
            << QStringList{"10.0.0.1"};
        QTest::newRow("role the row does not have matches nothing")
            << RoleMap{{CDeviceInfo::unknownRole, "x"}} << QStringList{};
        QTest::newRow("exact equality, no prefix")
            << RoleMap{{CDeviceInfo::ipRole, "10.0.0."}} << QStringList{};
    }

    void modelEntryMatching()
    {
        QFETCH(RoleMap, match);
        QFETCH(QStringList, updated);
        for (bool fill : {false, true}) {
            m_model->ResetList(
                {device("10.0.0.1", 80), device("10.0.0.2"), device("10.0.0.1", 81)});
            CRoleMapEditor editor(m_model.get());
            const RoleMap values{{CDeviceInfo::sdCardStatusRole, "ok"}};
            if (fill)
                editor.FillModelEntry(match, values);
            else
                editor.ModifyModelEntry(match, values);
            QStringList touched;
            for (int row = 0; row < m_model->rowCount(); ++row) {
                const QModelIndex idx = m_model->index(row, 0);
                if (idx.data(CDeviceInfo::sdCardStatusRole).toString() == QLatin1String("ok"))
                    touched << idx.data(CDeviceInfo::ipRole).toString();
            }
            QCOMPARE(touched, updated);
        }
    }

    // A value map that changes the very role it was matched by still updates every matched row.
    void modifyEntryChangingMatchedRole()
    {
        m_model->ResetList(devices({"10.0.0.1", "10.0.0.1", "10.0.0.2"}));
        CRoleMapEditor editor(m_model.get());
        editor.ModifyModelEntry({{CDeviceInfo::ipRole, "10.0.0.1"}},
                                {{CDeviceInfo::ipRole, "10.0.0.7"}});
        QCOMPARE(addresses(*m_model), (QStringList{"10.0.0.7:80", "10.0.0.7:80", "10.0.0.2:80"}));
    }

    void editorWithoutModel()
    {
        CRoleMapEditor editor;
        editor.ModifyModelEntry({}, {{CDeviceInfo::ipRole, "x"}});
        editor.FillModelRow(0, {{CDeviceInfo::ipRole, "x"}});
        QVERIFY(editor.matchingRows({}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDeviceListModel)
#include "tst_devicelistmodel.moc"
