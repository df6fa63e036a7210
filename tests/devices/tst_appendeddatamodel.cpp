// The appended-role proxy (one stored value per source row, kept aligned with the source) and the
// selectable layer built on it.
#include "CAppendedDataModel.h"
#include "CDeviceListModel.h"
#include "CSelectableRoleModel.h"
#include "DeviceTestUtil.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringListModel>
#include <QtTest>
#include <memory>

using namespace devicetest;

namespace {

// The stored values of the appended role, row by row; "-" for a row without a value.
QStringList storedValues(const QAbstractItemModel& model, int role)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QVariant v = model.index(row, 0).data(role);
        out << (v.isValid() ? v.toString() : QStringLiteral("-"));
    }
    return out;
}

} // namespace

class TestAppendedDataModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<CDeviceListModel> m_list;
    std::unique_ptr<CAppendedDataModel> m_status;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    // A status layer over an empty list, then the given rows inserted with statuses 0, 1, 2, ...
    void build(int rows)
    {
        m_list = std::make_unique<CDeviceListModel>();
        m_status = std::make_unique<CAppendedDataModel>("statusRole", CDeviceInfo::statusRole, -1);
        m_status->setSourceModel(m_list.get());
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_status.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::deque<std::shared_ptr<CDeviceInfo>> list;
        for (int i = 0; i < rows; ++i)
            list.push_back(device(QStringLiteral("10.0.0.%1").arg(i)));
        m_list->ResetList(list);
        for (int i = 0; i < rows; ++i)
            QVERIFY(m_status->setData(m_status->index(i, 0), i, CDeviceInfo::statusRole));
    }

private slots:
    void initTestCase() { registerDeviceMetaTypes(); }

    void cleanup()
    {
        m_tester.reset();
        m_status.reset();
        m_list.reset();
    }

    void rowsPresentAtAttachHaveNoValue()
    {
        CDeviceListModel list;
        list.ResetList(devices({"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
        CAppendedDataModel selected("selectedRole", CDeviceInfo::selectedRole, false);
        selected.setSourceModel(&list);
        QAbstractItemModelTester tester(&selected,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(storedValues(selected, CDeviceInfo::selectedRole), (QStringList{"-", "-", "-"}));
        QVERIFY(!selected.setData(selected.index(0, 0), true, CDeviceInfo::selectedRole));

        list.PushBackRemoveExist(devices({"10.0.0.4"}));
        QCOMPARE(storedValues(selected, CDeviceInfo::selectedRole),
                 (QStringList{"-", "-", "-", "false"}));
        QVERIFY(selected.setData(selected.index(3, 0), true, CDeviceInfo::selectedRole));
        QCOMPARE(selected.index(3, 0).data(CDeviceInfo::selectedRole), QVariant(true));
        // A batch write skips the rows without a value as well.
        QCOMPARE(selected.setValues({0, 1, 2, 3}, false), 1);
        QCOMPARE(storedValues(selected, CDeviceInfo::selectedRole),
                 (QStringList{"-", "-", "-", "false"}));
        // The other roles still come from the source.
        QCOMPARE(selected.index(3, 0).data(CDeviceInfo::ipRole).toString(),
                 QStringLiteral("10.0.0.4"));
    }

    void sourceChangesKeepValuesAligned_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("insert in the middle")
            << "insert 2 2" << QStringList{"0", "1", "-1", "-1", "2", "3", "4"};
        QTest::newRow("insert at the end")
            << "insert 5 1" << QStringList{"0", "1", "2", "3", "4", "-1"};
        QTest::newRow("push front") << "front" << QStringList{"-1", "0", "1", "2", "3", "4"};
        QTest::newRow("remove a run") << "remove 1 3" << QStringList{"0", "4"};
        QTest::newRow("remove all") << "remove 0 5" << QStringList{};
        QTest::newRow("remove discovered") << "removeMatching" << QStringList{"0", "2", "4"};
        QTest::newRow("reset list") << "reset" << QStringList{"-1", "-1"};
    }

    void sourceChangesKeepValuesAligned()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        build(5);
        for (int row : {1, 3})
            m_list->setData(m_list->index(row, 0), true, CDeviceInfo::drmSearchedRole);
        const QStringList words = change.split(QLatin1Char(' '));
        if (words.first() == QLatin1String("insert"))
            QVERIFY(m_list->insertRows(words.at(1).toInt(), words.at(2).toInt()));
        else if (words.first() == QLatin1String("remove"))
            QVERIFY(m_list->removeRows(words.at(1).toInt(), words.at(2).toInt()));
        else if (words.first() == QLatin1String("front"))
            m_list->PushFrontToList(devices({"10.9.9.9"}));
        else if (words.first() == QLatin1String("removeMatching"))
            m_list->removeMatching(CDeviceInfo::drmSearchedRole, true);
        else
            m_list->ResetList(devices({"10.9.9.8", "10.9.9.9"}));
        QCOMPARE(storedValues(*m_status, CDeviceInfo::statusRole), expected);
    }

    // A source that moves rows: the stored values travel with their rows.
    void movedRowsCarryTheirValues_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("down") << 0 << 2 << 4 << QStringList{"c", "d", "a", "b"};
        QTest::newRow("up") << 3 << 1 << 0 << QStringList{"d", "a", "b", "c"};
        QTest::newRow("to the end") << 1 << 1 << 4 << QStringList{"a", "c", "d", "b"};
        QTest::newRow("into its own range") << 1 << 2 << 2 << QStringList{"a", "b", "c", "d"};
    }

    void movedRowsCarryTheirValues()
    {
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(int, destination);
        QFETCH(QStringList, expected);
        QStringListModel source;
        CAppendedDataModel tag("tag", CDeviceInfo::zapkNameRole, QString());
        tag.setSourceModel(&source);
        QAbstractItemModelTester tester(&tag,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        source.setStringList({"a", "b", "c", "d"});
        for (int row = 0; row < 4; ++row)
            QVERIFY(tag.setData(tag.index(row, 0), source.stringList().at(row),
                                CDeviceInfo::zapkNameRole));
        source.moveRows(QModelIndex(), start, count, QModelIndex(), destination);
        QCOMPARE(storedValues(tag, CDeviceInfo::zapkNameRole), expected);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(tag.index(row, 0).data(Qt::DisplayRole).toString(), expected.at(row));
    }

    void setDataEmitsOnlyOnChange()
    {
        build(2);
        QSignalSpy spy(m_status.get(), &QAbstractItemModel::dataChanged);
        const QModelIndex idx = m_status->index(1, 0);
        QVERIFY(m_status->setData(idx, 104, CDeviceInfo::statusRole));
        QVERIFY(m_status->setData(idx, 104, CDeviceInfo::statusRole));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(2).value<QVector<int>>(), QVector<int>{CDeviceInfo::statusRole});
        QVERIFY(!m_status->setData(m_status->index(2, 0), 1, CDeviceInfo::statusRole));
        QVERIFY(!m_status->setData(QModelIndex(), 1, CDeviceInfo::statusRole));
    }

    // A batch write stores the value in the listed rows and announces each run of list entries
    // that step through the rows by one in the same direction once; rows left alone split runs.
    void setValuesAnnouncesRuns_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("announced");
        QTest::newRow("ascending run")
            << QList<int>{1, 2, 3} << 9 << QStringList{"0", "9", "9", "9", "4", "5"}
            << QStringList{"1-3"};
        QTest::newRow("descending run")
            << QList<int>{4, 3, 2} << 9 << QStringList{"0", "1", "9", "9", "9", "5"}
            << QStringList{"2-4"};
        QTest::newRow("change of direction splits")
            << QList<int>{3, 4, 2, 1} << 9 << QStringList{"0", "9", "9", "9", "9", "5"}
            << QStringList{"3-4", "1-2"};
        QTest::newRow("gap splits")
            << QList<int>{0, 2} << 9 << QStringList{"9", "1", "9", "3", "4", "5"}
            << QStringList{"0-0", "2-2"};
        QTest::newRow("row already holding the value splits")
            << QList<int>{1, 2, 3} << 2 << QStringList{"0", "2", "2", "2", "4", "5"}
            << QStringList{"1-1", "3-3"};
        QTest::newRow("rows outside are ignored")
            << QList<int>{-1, 5, 6} << 9 << QStringList{"0", "1", "2", "3", "4", "9"}
            << QStringList{"5-5"};
        QTest::newRow("nothing to write")
            << QList<int>{} << 9 << QStringList{"0", "1", "2", "3", "4", "5"} << QStringList{};
    }

    void setValuesAnnouncesRuns()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, value);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, announced);
        build(6);
        QStringList seen;
        // Every run is stored before the first is announced.
        QStringList storedAtFirstNotice;
        connect(m_status.get(), &QAbstractItemModel::dataChanged, this,
                [&](const QModelIndex& first, const QModelIndex& last, const QVector<int>& roles) {
                    QCOMPARE(roles, QVector<int>{CDeviceInfo::statusRole});
                    seen << QStringLiteral("%1-%2").arg(first.row()).arg(last.row());
                    if (storedAtFirstNotice.isEmpty())
                        storedAtFirstNotice = storedValues(*m_status, CDeviceInfo::statusRole);
                });
        const int changed = m_status->setValues(QVector<int>(rows.begin(), rows.end()), value);
        QCOMPARE(storedValues(*m_status, CDeviceInfo::statusRole), stored);
        QCOMPARE(seen, announced);
        if (!announced.isEmpty())
            QCOMPARE(storedAtFirstNotice, stored);
        int expectedChanged = 0;
        for (int row = 0; row < stored.size(); ++row)
            expectedChanged += stored.at(row) != QString::number(row) ? 1 : 0;
        QCOMPARE(changed, expectedChanged);
    }

    void otherRolesReachTheSource()
    {
        build(1);
        QSignalSpy spy(m_status.get(), &QAbstractItemModel::dataChanged);
        QVERIFY(m_status->setData(m_status->index(0, 0), "cam", CDeviceInfo::modelRole));
        QCOMPARE(m_list->deviceAt(0)->model, QStringLiteral("cam"));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_status->setData(m_status->index(0, 0), 1, CDeviceInfo::selectedRole));
    }

    void flagsAndRoleNames()
    {
        build(1);
        QVERIFY(m_status->flags(m_status->index(0, 0)) & Qt::ItemIsEditable);
        const QHash<int, QByteArray> names = m_status->roleNames();
        QCOMPARE(names.size(), 16);
        QCOMPARE(names.value(CDeviceInfo::statusRole), QByteArray("statusRole"));
        QCOMPARE(names.value(CDeviceInfo::ipRole), QByteArray("ipRole"));
    }

    void match_data()
    {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("hits");
        QTest::addColumn<QList<int>>("rows");
        // Statuses of the five rows: 7, 3, 7, 7, 3.
        QTest::newRow("all hits") << 0 << QVariant(7) << -1 << QList<int>{0, 2, 3};
        QTest::newRow("no wrap-around") << 3 << QVariant(7) << -1 << QList<int>{3};
        QTest::newRow("limited hits") << 0 << QVariant(7) << 2 << QList<int>{0, 2};
        QTest::newRow("equality, not prefix") << 0 << QVariant(70) << -1 << QList<int>{};
        QTest::newRow("other value") << 0 << QVariant(3) << -1 << QList<int>{1, 4};
    }

    void match()
    {
        QFETCH(int, startRow);
        QFETCH(QVariant, value);
        QFETCH(int, hits);
        QFETCH(QList<int>, rows);
        build(5);
        const int statuses[] = {7, 3, 7, 7, 3};
        for (int row = 0; row < 5; ++row)
            m_status->setData(m_status->index(row, 0), statuses[row], CDeviceInfo::statusRole);
        const QModelIndexList found =
            m_status->match(m_status->index(startRow, 0), CDeviceInfo::statusRole, value, hits,
                            Qt::MatchStartsWith | Qt::MatchWrap);
        QList<int> actual;
        for (const QModelIndex& idx : found) {
            QCOMPARE(idx.model(), m_status.get());
            actual << idx.row();
        }
        QCOMPARE(actual, rows);
    }

    void matchOfSourceRolesIsMappedBack()
    {
        build(3);
        const QModelIndexList found = m_status->match(m_status->index(0, 0), CDeviceInfo::ipRole,
                                                      "10.0.0.2", -1, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().model(), m_status.get());
        QCOMPARE(found.first().row(), 2);
    }

    void changingTheSource()
    {
        build(2);
        CDeviceListModel other;
        other.ResetList(devices({"10.1.1.1", "10.1.1.2", "10.1.1.3"}));
        m_status->setSourceModel(&other);
        QCOMPARE(storedValues(*m_status, CDeviceInfo::statusRole), (QStringList{"-", "-", "-"}));
        // The old source no longer reaches the proxy.
        m_list->insertRows(0, 1);
        QCOMPARE(m_status->rowCount(), 3);
        other.insertRows(3, 1);
        QCOMPARE(storedValues(*m_status, CDeviceInfo::statusRole),
                 (QStringList{"-", "-", "-", "-1"}));
        m_status->setSourceModel(nullptr);
        QCOMPARE(m_status->rowCount(), 0);
    }

    // Stacked layers, as on the main page: a change of the bottom list reaches every layer, and
    // each layer's value is correct already when the layer above hears of the change.
    void stackedLayers()
    {
        CDeviceListModel list;
        CAppendedDataModel selected("selectedRole", CDeviceInfo::selectedRole, false);
        CAppendedDataModel status("statusRole", CDeviceInfo::statusRole, -1);
        selected.setSourceModel(&list);
        status.setSourceModel(&selected);
        QAbstractItemModelTester tester(&status,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList seenOnInsert;
        connect(&status, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex&, int first, int last) {
                    for (int row = first; row <= last; ++row) {
                        const QModelIndex idx = status.index(row, 0);
                        seenOnInsert << idx.data(CDeviceInfo::selectedRole).toString() + "/" +
                                            idx.data(CDeviceInfo::statusRole).toString();
                    }
                });
        list.PushFrontToList(devices({"10.0.0.1", "10.0.0.2"}));
        QCOMPARE(seenOnInsert, (QStringList{"false/-1", "false/-1"}));
        QVERIFY(status.setData(status.index(1, 0), true, CDeviceInfo::selectedRole));
        QVERIFY(status.setData(status.index(1, 0), 104, CDeviceInfo::statusRole));
        list.removeRows(0, 1);
        QCOMPARE(status.index(0, 0).data(CDeviceInfo::selectedRole), QVariant(true));
        QCOMPARE(status.index(0, 0).data(CDeviceInfo::statusRole), QVariant(104));
    }

    // Firmware identification strings and whether the row may be selected, with recorders off
    // and on.
    void selectable_data()
    {
        QTest::addColumn<QString>("firmwareInfo");
        QTest::addColumn<bool>("withoutRecorders");
        QTest::addColumn<bool>("withRecorders");
        QTest::newRow("camera") << "QD8182-QXOR-0104a" << true << true;
        QTest::newRow("empty identification") << "" << true << true;
        QTest::newRow("recorder") << "NV9311-QXOR-2.1" << false << true;
        QTest::newRow("recorder of one letter") << "W2000-QXOR-1" << false << true;
        QTest::newRow("switch") << "SW1008-QXOR-1.2" << false << false;
        QTest::newRow("recorder of another line") << "XVR8-QXOR-1" << false << false;
        QTest::newRow("lower case is a camera") << "sw1008-QXOR-1" << true << true;
    }

    void selectable()
    {
        QFETCH(QString, firmwareInfo);
        QFETCH(bool, withoutRecorders);
        QFETCH(bool, withRecorders);
        CDeviceListModel list;
        CAppendedDataModel selected("selectedRole", CDeviceInfo::selectedRole, false);
        CSelectableRoleModel selectable;
        selected.setSourceModel(&list);
        selectable.setSourceModel(&selected);
        QAbstractItemModelTester tester(&selectable,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto d = device("10.0.0.1");
        d->firmwareInfo = firmwareInfo;
        list.PushFrontToList({d});
        const QModelIndex idx = selectable.index(0, 0);

        QCOMPARE(idx.data(CDeviceInfo::selectableRole).toBool(), withoutRecorders);
        QCOMPARE(selectable.setData(idx, true, CDeviceInfo::selectedRole), withoutRecorders);
        QCOMPARE(idx.data(CDeviceInfo::selectedRole).toBool(), withoutRecorders);
        QVERIFY(selectable.setData(idx, false, CDeviceInfo::selectedRole) || !withoutRecorders);

        QSignalSpy changed(&selectable, &QAbstractItemModel::dataChanged);
        selectable.setNVRSelectable(true);
        selectable.setNVRSelectable(true);
        QCOMPARE(changed.count(), 1);
        QVERIFY(changed.first().at(2).value<QVector<int>>().contains(CDeviceInfo::selectableRole));
        QCOMPARE(idx.data(CDeviceInfo::selectableRole).toBool(), withRecorders);
        QCOMPARE(selectable.setData(idx, true, CDeviceInfo::selectedRole), withRecorders);
        QCOMPARE(idx.data(CDeviceInfo::selectedRole).toBool(), withRecorders);

        // selectableRole itself is never written.
        QVERIFY(!selectable.setData(idx, true, CDeviceInfo::selectableRole));
        QVERIFY(selectable.roleNames().contains(CDeviceInfo::selectableRole));
    }
};

QTEST_GUILESS_MAIN(TestAppendedDataModel)
#include "tst_appendeddatamodel.moc"
