// Selection, sorting and filtering through the model controller, as QML drives them, and the
// operations other subsystems use to read the selection.
#include "CDeviceListModel.h"
#include "CDeviceSortFilterModel.h"
#include "CMainDeviceChain.h"
#include "CModelCtrl.h"
#include "CSelectableRoleModel.h"
#include "CSimpleModel.h"
#include "CUnauthorizedFilterModel.h"
#include "DeviceTestUtil.h"

#include <QAbstractItemModelTester>
#include <QIdentityProxyModel>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace devicetest;

namespace {

// Twelve devices whose addresses are out of order, so sorting moves them about; rows 3 and 8 are
// recorders and row 5 a switch. Row i has the address 10.0.(i % 2).(50 - 3 * i).
std::deque<std::shared_ptr<CDeviceInfo>> mixedFleet()
{
    std::deque<std::shared_ptr<CDeviceInfo>> list;
    for (int i = 0; i < 12; ++i) {
        auto d = device(QStringLiteral("10.0.%1.%2").arg(i % 2).arg(50 - 3 * i));
        d->model = i == 3 || i == 8 ? QStringLiteral("NV9311")
                   : i == 5         ? QStringLiteral("SW1008")
                                    : QStringLiteral("QD8182");
        d->firmwareInfo = d->model + QStringLiteral("-QXOR-1.0");
        list.push_back(d);
    }
    return list;
}

// The same kind of chain as the main page's, except that a plain identity layer sits between the
// selection and the selectable layer: the controller cannot look through it and writes the
// selection row by row, the way every write went before batch writes existed.
struct RowByRowChain
{
    CDeviceListModel list;
    CAppendedDataModel selected{"selectedRole", CDeviceInfo::selectedRole, false};
    QIdentityProxyModel opaque;
    CSelectableRoleModel selectable;
    CDeviceSortFilterModel view;
    CModelCtrl ctrl{&view};

    RowByRowChain()
    {
        selected.setSourceModel(&list);
        opaque.setSourceModel(&selected);
        selectable.setSourceModel(&opaque);
        view.setSourceModel(&selectable);
    }
};

// Runs "verb [argument]" steps on a controller and returns the last step's result.
bool runSteps(CModelCtrl* ctrl, CSelectableRoleModel* selectable, CDeviceSortFilterModel* view,
              const QStringList& steps)
{
    bool result = false;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QString verb = words.first();
        const int row = words.size() > 1 ? words.at(1).toInt() : -1;
        if (verb == QLatin1String("select"))
            result = ctrl->select(row);
        else if (verb == QLatin1String("shift"))
            result = ctrl->shiftSelect(row);
        else if (verb == QLatin1String("toggle"))
            result = ctrl->toggleSelection(row);
        else if (verb == QLatin1String("ctrl"))
            result = ctrl->ctrlSelect(row);
        else if (verb == QLatin1String("all"))
            result = ctrl->selectAll();
        else if (verb == QLatin1String("none"))
            result = ctrl->setSelectionToAll(false);
        else if (verb == QLatin1String("everything"))
            result = ctrl->setSelectionToAll(true);
        else if (verb == QLatin1String("filter"))
            ctrl->setFilter(words.mid(1).join(QLatin1Char(' ')));
        else if (verb == QLatin1String("viewfilter"))
            view->setFilterWords(words.mid(1).join(QLatin1Char(' ')));
        else if (verb == QLatin1String("sort"))
            ctrl->sortByRole(QStringLiteral("ipRole"), Qt::AscendingOrder);
        else if (verb == QLatin1String("sortdesc"))
            ctrl->sortByRole(QStringLiteral("ipRole"), Qt::DescendingOrder);
        else if (verb == QLatin1String("nvr"))
            selectable->setNVRSelectable(true);
        else if (verb == QLatin1String("nvroff"))
            selectable->setNVRSelectable(false);
        else
            qFatal("unknown step %s", qPrintable(step));
    }
    return result;
}

// The addresses of every selected device, hidden ones included, read from the bottom list's
// selection layer.
QStringList selectedAddresses(const CAppendedDataModel& selected)
{
    QStringList out;
    for (int row = 0; row < selected.rowCount(); ++row) {
        const QModelIndex idx = selected.index(row, 0);
        if (idx.data(CDeviceInfo::selectedRole).toBool())
            out << idx.data(CDeviceInfo::ipRole).toString();
    }
    return out;
}

// selectedRole of every view row.
QVector<bool> viewSelection(const QAbstractItemModel& view)
{
    QVector<bool> out;
    for (int row = 0; row < view.rowCount(); ++row)
        out << view.index(row, 0).data(CDeviceInfo::selectedRole).toBool();
    return out;
}

} // namespace

class TestModelCtrl : public QObject
{
    Q_OBJECT

    std::unique_ptr<CMainDeviceChain> m_chain;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    CModelCtrl* ctrl() const { return m_chain->modelCtrl(); }

    // Eight devices; rows 6 and 7 are a recorder and a switch.
    void fill()
    {
        std::deque<std::shared_ptr<CDeviceInfo>> list;
        for (int i = 0; i < 8; ++i) {
            auto d = device(QStringLiteral("10.0.0.%1").arg(i));
            d->firmwareInfo = i == 6   ? QStringLiteral("NV9311-QXOR-2.1")
                              : i == 7 ? QStringLiteral("SW1008-QXOR-1.2")
                                       : QStringLiteral("QD8182-QXOR-0104a");
            list.push_back(d);
        }
        m_chain->listModel()->PushBackRemoveExist(list);
    }

    bool run(const QStringList& steps)
    {
        return runSteps(ctrl(), m_chain->selectableModel(), m_chain->sortFilterModel(), steps);
    }

private slots:
    void initTestCase() { registerDeviceMetaTypes(); }

    void init()
    {
        m_chain = std::make_unique<CMainDeviceChain>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_chain->sortFilterModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        fill();
    }

    void cleanup()
    {
        m_tester.reset();
        m_chain.reset();
    }

    void selection_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("anchor");
        QTest::newRow("select one") << QStringList{"select 2"} << true << QList<int>{2} << 2;
        QTest::newRow("select the only selected row deselects it")
            << QStringList{"select 2", "select 2"} << true << QList<int>{} << 2;
        QTest::newRow("select another row moves the selection")
            << QStringList{"select 2", "select 4"} << true << QList<int>{4} << 4;
        QTest::newRow("select among several keeps only it")
            << QStringList{"toggle 1", "toggle 2", "select 2"} << true << QList<int>{2} << 2;
        QTest::newRow("shift after select")
            << QStringList{"select 2", "shift 5"} << true << QList<int>{2, 3, 4, 5} << 2;
        QTest::newRow("shift backwards")
            << QStringList{"select 5", "shift 2"} << true << QList<int>{2, 3, 4, 5} << 5;
        QTest::newRow("shift after select all starts at 0")
            << QStringList{"all", "shift 5"} << true << QList<int>{0, 1, 2, 3, 4, 5} << 0;
        QTest::newRow("shift replaces earlier selection")
            << QStringList{"toggle 0", "toggle 4", "shift 3"} << true << QList<int>{3, 4} << 4;
        QTest::newRow("toggle twice")
            << QStringList{"toggle 3", "toggle 3"} << true << QList<int>{} << 3;
        QTest::newRow("ctrl adds")
            << QStringList{"select 1", "ctrl 3"} << true << QList<int>{1, 3} << 3;
        QTest::newRow("select all skips recorder and switch")
            << QStringList{"all"} << true << QList<int>{0, 1, 2, 3, 4, 5} << 0;
        QTest::newRow("recorder selectable once allowed")
            << QStringList{"nvr", "everything"} << true << QList<int>{0, 1, 2, 3, 4, 5, 6} << 0;
        QTest::newRow("recorder refused") << QStringList{"toggle 6"} << false << QList<int>{} << 6;
        QTest::newRow("switch refused even with recorders")
            << QStringList{"nvr", "select 7"} << false << QList<int>{} << 7;
        QTest::newRow("deselect all") << QStringList{"all", "none"} << true << QList<int>{} << 0;
        // A recorder selected while recorders were allowed can be cleared once they are not.
        QTest::newRow("recorder cleared after recorders are refused")
            << QStringList{"nvr", "everything", "nvroff", "none"} << true << QList<int>{} << 0;
        QTest::newRow("recorder toggled off after recorders are refused")
            << QStringList{"nvr", "toggle 6", "nvroff", "toggle 6"} << true << QList<int>{} << 6;
        QTest::newRow("recorder dropped by select after recorders are refused")
            << QStringList{"nvr", "everything", "nvroff", "select 2"} << true << QList<int>{2} << 2;
        QTest::newRow("row outside the view")
            << QStringList{"select 1", "select 8"} << false << QList<int>{1} << 1;
        QTest::newRow("negative row")
            << QStringList{"select 1", "toggle -1"} << false << QList<int>{1} << 1;
        QTest::newRow("shift outside the view")
            << QStringList{"select 1", "shift 9"} << false << QList<int>{1} << 1;
        QTest::newRow("filter resets the anchor")
            << QStringList{"select 3", "filter 10.0.0", "shift 1"} << true << QList<int>{0, 1} << 0;
        QTest::newRow("select all touches visible rows only")
            << QStringList{"filter 10.0.0.1", "all", "filter "} << true << QList<int>{1} << 0;
        QTest::newRow("anchor past a shrunken view")
            << QStringList{"select 5", "viewfilter 10.0.0.1", "shift 0"} << true << QList<int>{0}
            << 5;
    }

    void selection()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, result);
        QFETCH(QList<int>, selected);
        QFETCH(int, anchor);
        QCOMPARE(run(steps), result);
        QCOMPARE(ctrl()->selectedRows(), selected);
        QCOMPARE(ctrl()->anchor(), anchor);
    }

    void selectionSignals_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("emitted");
        QTest::newRow("select") << "select 1" << 1;
        QTest::newRow("refused write still announced") << "toggle 6" << 1;
        QTest::newRow("outside the view") << "select 20" << 0;
        QTest::newRow("select all") << "all" << 1;
        QTest::newRow("filter") << "filter 10" << 0;
    }

    void selectionSignals()
    {
        QFETCH(QString, step);
        QFETCH(int, emitted);
        QSignalSpy spy(ctrl(), &CModelCtrl::selectionChanged);
        run({step});
        QCOMPARE(spy.count(), emitted);
    }

    // Selection steps on the main page's chain, which writes the selection in batches, and on a
    // chain the controller cannot look through, which writes it row by row: both must end with
    // the same rows selected (hidden ones included), the same anchor and the same result.
    void batchMatchesRowByRow_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("select all, sorted") << QStringList{"sort", "all"};
        QTest::newRow("select all, filtered and sorted")
            << QStringList{"sortdesc", "filter 10.0.1", "all"};
        QTest::newRow("clear all, sorted") << QStringList{"sortdesc", "all", "none"};
        QTest::newRow("select everything with recorders")
            << QStringList{"nvr", "sort", "everything"};
        QTest::newRow("clearing keeps hidden rows")
            << QStringList{"all", "filter 10.0.1", "none", "filter "};
        QTest::newRow("select after select all") << QStringList{"sort", "all", "select 4"};
        QTest::newRow("select among several")
            << QStringList{"sortdesc", "toggle 2", "toggle 5", "select 5"};
        QTest::newRow("select a recorder is refused but clears")
            << QStringList{"sort", "all", "select 9"};
        QTest::newRow("shift forwards") << QStringList{"sort", "select 3", "shift 7"};
        QTest::newRow("shift backwards") << QStringList{"sortdesc", "select 10", "shift 1"};
        QTest::newRow("shift over a filtered view")
            << QStringList{"sort", "filter 10.0.0", "select 1", "shift 4"};
        QTest::newRow("shift replaces a selection")
            << QStringList{"sort", "toggle 0", "toggle 11", "select 6", "shift 8"};
        QTest::newRow("recorder selected while allowed is cleared once refused")
            << QStringList{"nvr", "sort", "everything", "nvroff", "none"};
    }

    void batchMatchesRowByRow()
    {
        QFETCH(QStringList, steps);
        m_chain->listModel()->ResetList(mixedFleet());
        RowByRowChain reference;
        QAbstractItemModelTester tester(&reference.view,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        reference.list.ResetList(mixedFleet());

        QSignalSpy batchSignals(ctrl(), &CModelCtrl::selectionChanged);
        QSignalSpy referenceSignals(&reference.ctrl, &CModelCtrl::selectionChanged);
        const bool result = run(steps);
        QCOMPARE(result, runSteps(&reference.ctrl, &reference.selectable, &reference.view, steps));
        QCOMPARE(ctrl()->selectedRows(), reference.ctrl.selectedRows());
        QCOMPARE(selectedAddresses(*m_chain->selectedModel()),
                 selectedAddresses(reference.selected));
        QCOMPARE(ctrl()->anchor(), reference.ctrl.anchor());
        QCOMPARE(batchSignals.count(), referenceSignals.count());
        // Switches are never selected, whatever the path.
        for (int row : ctrl()->selectedRows()) {
            QVERIFY(m_chain->sortFilterModel()->index(row, 0).data(CDeviceInfo::modelRole) !=
                    QStringLiteral("SW1008"));
        }
    }

    // The view announces exactly the rows whose selection changed: every changed row is inside
    // some dataChanged of selectedRole, and no unchanged row is. Where the view keeps the order
    // of the list, adjacent rows arrive together.
    void batchAnnouncesChangedRows_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("notices"); // -1: not checked
        QTest::newRow("select all, list order") << QStringList{} << "all" << 4;
        QTest::newRow("select all again changes nothing") << QStringList{"all"} << "all" << 0;
        QTest::newRow("select all over a partial selection")
            << QStringList{"toggle 1", "toggle 10"} << "all" << 6;
        QTest::newRow("clear all, list order") << QStringList{"all"} << "none" << 4;
        QTest::newRow("select all, sorted") << QStringList{"sort"} << "all" << -1;
        QTest::newRow("select all, filtered and sorted descending")
            << QStringList{"sortdesc", "filter 10.0.0"} << "all" << -1;
        QTest::newRow("clear, filtered and sorted")
            << QStringList{"all", "sort", "filter 10.0.1"} << "none" << -1;
        QTest::newRow("select moves the selection, sorted")
            << QStringList{"sort", "all"} << "select 6" << -1;
        QTest::newRow("shift, sorted") << QStringList{"sort", "select 2"} << "shift 9" << -1;
        QTest::newRow("shift shrinks the range")
            << QStringList{"select 1", "shift 10"} << "shift 4" << 2;
    }

    void batchAnnouncesChangedRows()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, step);
        QFETCH(int, notices);
        m_chain->listModel()->ResetList(mixedFleet());
        CDeviceSortFilterModel* view = m_chain->sortFilterModel();
        run(setup);
        const QVector<bool> before = viewSelection(*view);

        QSignalSpy changed(view, &QAbstractItemModel::dataChanged);
        run({step});
        const QVector<bool> after = viewSelection(*view);

        QSet<int> changedRows;
        for (int row = 0; row < before.size(); ++row) {
            if (before.at(row) != after.at(row))
                changedRows.insert(row);
        }
        QSet<int> announced;
        for (const QList<QVariant>& args : changed) {
            QVERIFY(args.at(2).value<QVector<int>>().contains(CDeviceInfo::selectedRole));
            const int first = args.at(0).toModelIndex().row();
            const int last = args.at(1).toModelIndex().row();
            for (int row = first; row <= last; ++row)
                announced.insert(row);
        }
        QCOMPARE(announced, changedRows);
        if (notices >= 0)
            QCOMPARE(changed.count(), notices);
    }

    // A view over the chain that re-filters on selection changes (the unauthorized devices) sees
    // a batch write as one change of its rows and its count.
    void subsetFollowsBatchWrites()
    {
        m_chain->listModel()->ResetList(mixedFleet());
        CUnauthorizedFilterModel* unauthorized = m_chain->unauthorizedFilterModel();
        QAbstractItemModelTester tester(unauthorized,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy count(unauthorized, &CUnauthorizedFilterModel::countChanged);
        ctrl()->sortByRole(QStringLiteral("ipRole"));
        ctrl()->selectAll();
        QCOMPARE(unauthorized->count(), 9);
        QCOMPARE(count.count(), 1);
        // Single writes after a batch are followed row by row again.
        QVERIFY(ctrl()->setProperty(0, QStringLiteral("statusRole"), 104));
        QCOMPARE(unauthorized->count(), 8);
        // View rows 0 to 3 hold the authorized row, a recorder and two cameras.
        QVERIFY(ctrl()->shiftSelect(3));
        QCOMPARE(unauthorized->count(), 2);
        QCOMPARE(count.count(), 3);
        ctrl()->setSelectionToAll(false);
        QCOMPARE(unauthorized->count(), 0);
    }

    void setPropertyByRoleName_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("result");
        QTest::newRow("field") << 0 << "usernameRole" << QVariant("root") << true;
        QTest::newRow("appended") << 1 << "statusRole" << QVariant(104) << true;
        QTest::newRow("selectable is computed")
            << 1 << "selectableRole" << QVariant(false) << false;
        QTest::newRow("unknown name") << 0 << "nosuchRole" << QVariant(1) << false;
        QTest::newRow("row outside") << 8 << "usernameRole" << QVariant("root") << false;
    }

    void setPropertyByRoleName()
    {
        QFETCH(int, row);
        QFETCH(QString, role);
        QFETCH(QVariant, value);
        QFETCH(bool, result);
        QCOMPARE(ctrl()->setProperty(row, role, value), result);
        if (result)
            QCOMPARE(m_chain->sortFilterModel()->index(row, 0).data(roleFromName(role)), value);
    }

    void sortingResetsAnchor()
    {
        run({"select 4"});
        QSignalSpy sorted(ctrl(), &CModelCtrl::modelSorted);
        ctrl()->sortByRole(QStringLiteral("ipRole"), Qt::DescendingOrder);
        QCOMPARE(sorted.count(), 1);
        QCOMPARE(ctrl()->anchor(), 0);
        QCOMPARE(m_chain->sortFilterModel()->index(0, 0).data(CDeviceInfo::ipRole).toString(),
                 QStringLiteral("10.0.0.7"));
        // The selection follows the row, not the position.
        QCOMPARE(ctrl()->selectedRows(), QList<int>{3});
    }

    void modelSetWithoutView()
    {
        CModelCtrl lonely(nullptr);
        QTest::ignoreMessage(QtDebugMsg, "!m_pModel");
        lonely.acceptModelSet(QStringLiteral("nvr"));
        QVERIFY(!lonely.select(0));
        QVERIFY(lonely.selectAll());
        QVERIFY(lonely.selectedRows().isEmpty());
    }

    void rowsMatching_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("prefix") << int(CDeviceInfo::ipRole) << QVariant("10.0.0.")
                                << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("case-insensitive prefix")
            << int(CDeviceInfo::firmwareInfoRole) << QVariant("nv") << QList<int>{6};
        QTest::newRow("exact") << int(CDeviceInfo::ipRole) << QVariant("10.0.0.3") << QList<int>{3};
        QTest::newRow("none") << int(CDeviceInfo::ipRole) << QVariant("11.") << QList<int>{};
    }

    void rowsMatching()
    {
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(QList<int>, rows);
        QCOMPARE(ctrl()->rowsMatching(role, value), rows);
    }

    // Operation pages copy the selection into a list of their own.
    void copySelectedTo()
    {
        m_chain->sortFilterModel()->setData(m_chain->sortFilterModel()->index(5, 0), "pw",
                                            CDeviceInfo::passwordRole);
        run({"toggle 5", "toggle 1"});
        ctrl()->sortByRole(QStringLiteral("ipRole"), Qt::DescendingOrder);
        CDeviceListModel page;
        page.ResetList(devices({"1.1.1.1", "2.2.2.2", "3.3.3.3"}));
        QAbstractItemModelTester tester(&page,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(ctrl()->copySelectedTo(&page, {CDeviceInfo::ipRole, CDeviceInfo::passwordRole}));
        QCOMPARE(addresses(page), (QStringList{"10.0.0.5:80", "10.0.0.1:80"}));
        QCOMPARE(page.index(0, 0).data(CDeviceInfo::passwordRole).toString(), QStringLiteral("pw"));
        // Roles not copied keep the defaults; the records are new, not shared.
        QCOMPARE(page.index(0, 0).data(CDeviceInfo::firmwareInfoRole).toString(), QString());
        QVERIFY(page.deviceAt(0) != m_chain->listModel()->deviceAt(5));

        run({"none"});
        QVERIFY(ctrl()->copySelectedTo(&page, {CDeviceInfo::ipRole}));
        QCOMPARE(page.rowCount(), 0);
        QVERIFY(!ctrl()->copySelectedTo(nullptr, {}));
    }

    void simpleModel()
    {
        CSimpleModel model(QStringLiteral("QD8182"));
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 10);
        QCOMPARE(model.index(9, 0).data(CDeviceInfo::ipRole).toString(),
                 QStringLiteral("172.1.1.9"));
        QCOMPARE(model.index(0, 0).data(CDeviceInfo::modelRole).toString(),
                 QStringLiteral("QD8182"));
        QCOMPARE(model.index(0, 0).data(CDeviceInfo::macRole).toString(), QStringLiteral("MAC"));
        QCOMPARE(model.index(0, 0).data(CDeviceInfo::firmwareRole).toString(),
                 QStringLiteral("100f"));
        QCOMPARE(model.index(0, 0).data(CDeviceInfo::cmsPortRole).toInt(), 3454);
        QVERIFY(!model.index(0, 0).data(CDeviceInfo::sdCardStatusRole).isValid());
        QCOMPARE(model.roleNames().size(), 13);
        model.resetList(devices({"10.0.0.1"}));
        QCOMPARE(addresses(model), QStringList{"10.0.0.1:80"});
        model.resetList({});
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestModelCtrl)
#include "tst_modelctrl.moc"
