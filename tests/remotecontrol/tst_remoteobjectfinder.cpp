// Object paths through a real QML scene: plain children, unnamed levels, the items a repeater
// makes beside itself, and the items inside list, grid and flickable views.
#include "CRemoteObjectFinder.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtTest>
#include <memory>

namespace {

const char* const kScene = R"(
import QtQuick 2.15
Item {
    objectName: "top"
    width: 400; height: 400
    Item {
        objectName: "a"
        Item {
            Item { objectName: "b"; property string tag: "a/b" }
        }
        Item { objectName: ""; Item { objectName: "c"; property string tag: "a/-/c" } }
    }
    Item { objectName: "b"; property string tag: "top/b" }
    Row {
        objectName: "row"
        Repeater {
            objectName: "rep"
            model: 3
            Item { objectName: "cell" + index; property string tag: "cell " + index }
        }
    }
    ListView {
        objectName: "list"
        width: 100; height: 200
        model: 3
        delegate: Item {
            objectName: "entry" + index; width: 100; height: 20
            Item { objectName: "label"; property string tag: "label " + index }
        }
    }
    GridView {
        objectName: "grid"
        width: 100; height: 100; cellWidth: 50; cellHeight: 50
        model: 4
        delegate: Item { objectName: "tile" + index; property string tag: "tile " + index }
    }
    Flickable {
        objectName: "flick"
        width: 50; height: 50; contentHeight: 200
        Item { objectName: "inner"; property string tag: "inner" }
    }
    Item {
        id: host
        objectName: "host"
        Item {
            objectName: "nest"
            // A repeater shown in an ancestor of its own declaration: its siblings lead the
            // search back into the subtree it came from.
            Repeater {
                objectName: "loop"
                parent: host
                model: 2
                Item { objectName: "looped" + index; property string tag: "looped " + index }
            }
        }
    }
}
)";

} // namespace

class TestRemoteObjectFinder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void find_data();
    void find();
    void pathText_data();
    void pathText();

private:
    QQmlEngine m_engine;
    std::unique_ptr<QObject> m_root;
};

void TestRemoteObjectFinder::initTestCase()
{
    QQmlComponent component(&m_engine);
    component.setData(kScene, QUrl::fromLocalFile(QStringLiteral("/virtual/Scene.qml")));
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    m_root.reset(component.create());
    QVERIFY2(m_root, qPrintable(component.errorString()));
    // Views create their delegates when they are laid out.
    QCoreApplication::processEvents();
}

void TestRemoteObjectFinder::find_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("tag"); // empty: not found

    QTest::newRow("first hit in children order") << "b"
                                                 << "a/b";
    QTest::newRow("levels in between") << "a.b"
                                       << "a/b";
    QTest::newRow("root matches the first name") << "top.b"
                                                 << "a/b";
    QTest::newRow("empty name matches an unnamed object") << "a..c"
                                                          << "a/-/c";
    QTest::newRow("repeater delegate below its parent") << "row.cell2"
                                                        << "cell 2";
    QTest::newRow("repeater delegate below the repeater") << "rep.cell1"
                                                          << "cell 1";
    QTest::newRow("list view item") << "list.entry1.label"
                                    << "label 1";
    QTest::newRow("list view, first item wins") << "list.label"
                                                << "label 0";
    QTest::newRow("grid view item") << "grid.tile3"
                                    << "tile 3";
    QTest::newRow("flickable content") << "flick.inner"
                                       << "inner";
    QTest::newRow("through a looping repeater") << "loop.looped1"
                                                << "looped 1";
    QTest::newRow("missing name in a looping scene") << "nest.nothing" << QString();
    QTest::newRow("missing") << "nothing" << QString();
    QTest::newRow("names in the wrong order") << "b.a" << QString();
    QTest::newRow("trailing dot needs an unnamed object below") << "cell0." << QString();
}

void TestRemoteObjectFinder::find()
{
    QFETCH(QString, path);
    QFETCH(QString, tag);
    QObject* found = CRemoteObjectFinder::find(m_root.get(), path);
    if (tag.isEmpty()) {
        QVERIFY2(!found, qPrintable(found ? found->objectName() : QString()));
        return;
    }
    QVERIFY(found);
    QCOMPARE(found->property("tag").toString(), tag);
}

void TestRemoteObjectFinder::pathText_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("path");
    QTest::newRow("object only") << ""
                                 << "pad"
                                 << "pad";
    QTest::newRow("parent and object") << "page"
                                       << "pad"
                                       << "page.pad";
    QTest::newRow("parent only") << "page"
                                 << ""
                                 << "page.";
}

void TestRemoteObjectFinder::pathText()
{
    QFETCH(QString, parent);
    QFETCH(QString, object);
    QFETCH(QString, path);
    QCOMPARE(CRemoteObjectFinder::pathText(parent, object), path);
}

QTEST_MAIN(TestRemoteObjectFinder)
#include "tst_remoteobjectfinder.moc"
