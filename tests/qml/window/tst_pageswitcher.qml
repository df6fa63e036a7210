import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"
import "Creations.js" as Creations

Item {
    id: root
    width: 400
    height: 300

    Component {
        id: switcherComponent
        PageSwitcher {
            anchors.fill: parent
            currentPage: "A"
            property alias pageA: a
            property alias pageB: b
            property alias pageC: c
            TestPage {
                id: a
                pageName: "A"
            }
            TestPage {
                id: b
                pageName: "B"
            }
            TestPage {
                id: c
                pageName: "C"
            }
            PageInfo {
                name: "File"
                source: Qt.resolvedUrl("FilePage.qml")
            }
            PageInfo {
                name: "Missing"
                source: Qt.resolvedUrl("NoSuchPage.qml")
            }
        }
    }

    // A page that holds a switcher of its own, around a switcher that holds it.
    Component {
        id: nestedComponent
        PageSwitcher {
            anchors.fill: parent
            currentPage: "Outer"
            property alias outer: outerPage
            property alias inner: innerPage
            property alias innerSwitcher: inside
            property alias other: otherPage
            TestPage {
                id: outerPage
                pageName: "Outer"
                pageSwitcher: inside
                PageSwitcher {
                    id: inside
                    anchors.fill: parent
                    currentPage: "Inner"
                    TestPage {
                        id: innerPage
                        pageName: "Inner"
                    }
                }
            }
            TestPage {
                id: otherPage
                pageName: "Other"
            }
        }
    }

    SignalSpy {
        id: rewindSpy
        signalName: "requireRewind"
    }
    SignalSpy {
        id: resolvedSpy
        signalName: "pagesResolved"
    }

    TestCase {
        name: "PageSwitcher"
        when: windowShown

        function makeSwitcher(component) {
            var s = createTemporaryObject(component || switcherComponent, root);
            verify(s !== null);
            rewindSpy.clear();
            rewindSpy.target = s;
            resolvedSpy.clear();
            resolvedSpy.target = s;
            return s;
        }

        function test_first_page_is_entered_and_the_others_hidden() {
            var s = makeSwitcher();
            compare(s.shownPage, "A");
            compare(s.pageA.events, ["enter"]);
            verify(s.pageA.visible);
            verify(!s.pageB.visible);
            verify(!s.pageC.visible);
            compare(s.pageB.ownerSwitcher, s);
        }

        function test_switch_leaves_hides_and_enters() {
            var s = makeSwitcher();
            s.currentPage = "B";
            compare(s.shownPage, "B");
            compare(s.currentItem, s.pageB);
            compare(s.pageA.events, ["enter", "leave"]);
            compare(s.pageB.events, ["enter"]);
            verify(!s.pageA.visible);
            verify(s.pageB.visible);
            verify(s.pageB.activeFocus);
            compare(rewindSpy.count, 0);
        }

        function test_blocking_page_keeps_the_switch_data() {
            return [
                { tag: "accepted goes on", accept: true, shown: "C" },
                { tag: "refused stays", accept: false, shown: "A" }
            ];
        }

        function test_blocking_page_keeps_the_switch(data) {
            var s = makeSwitcher();
            s.pageA.blocking = true;
            s.currentPage = "C";
            compare(rewindSpy.count, 1);
            compare(s.pageA.resolveCount, 1);
            compare(s.shownPage, "A");
            compare(s.currentPage, "A");
            compare(s.pendingPage, "C");
            compare(s.pageA.events, ["enter"]);
            compare(s.pageC.events, []);
            verify(s.pageA.visible);

            // The dialog that resolved the refusal answers through the page.
            s.pageA.resume(data.accept);
            compare(s.shownPage, data.shown);
            compare(s.currentPage, data.shown);
            compare(s.pendingPage, "");
            compare(resolvedSpy.count, 0);
            compare(s.pageC.events, data.accept ? ["enter"] : []);
            compare(s.pageA.events, data.accept ? ["enter", "leave"] : ["enter"]);
        }

        function test_accepted_leave_is_not_asked_again() {
            // The page still says it blocks; the user's answer wins.
            var s = makeSwitcher();
            s.pageA.blocking = true;
            s.currentPage = "B";
            s.resume(true);
            compare(s.shownPage, "B");
            compare(s.pageA.resolveCount, 1);
            compare(rewindSpy.count, 1);
        }

        function test_closing_answers_through_pagesResolved_data() {
            return [
                { tag: "accepted", accept: true },
                { tag: "refused", accept: false }
            ];
        }

        function test_closing_answers_through_pagesResolved(data) {
            var s = makeSwitcher();
            s.pageA.blockOnClose = true;
            verify(s.checkBlocking(true));
            verify(s.closing);
            compare(s.pageA.resolveCount, 1);
            s.pageA.resume(data.accept);
            compare(resolvedSpy.count, 1);
            compare(resolvedSpy.signalArguments[0][0], data.accept);
            compare(s.shownPage, "A");
            verify(!s.closing);
            // The page blocks only closing: switching is free.
            s.currentPage = "B";
            compare(s.shownPage, "B");
        }

        function test_file_page_is_made_once_and_kept() {
            var s = makeSwitcher();
            var before = Creations.count("FilePage");
            compare(s.page("File"), null);
            s.currentPage = "File";
            compare(s.shownPage, "File");
            var made = s.page("File");
            verify(made !== null);
            compare(made.parent, s);
            compare(made.ownerSwitcher, s);
            compare(made.width, s.width);
            verify(made.visible);
            s.currentPage = "B";
            verify(!made.visible);
            s.currentPage = "File";
            compare(s.page("File"), made);
            compare(Creations.count("FilePage"), before + 1);
        }

        function test_destroying_hidden_pages_spares_the_shown_one() {
            var s = makeSwitcher();
            var before = Creations.count("FilePage");
            s.currentPage = "File";
            s.currentPage = "A";
            s.destroyHiddenPages();
            compare(s.page("File"), null);
            s.currentPage = "File";
            verify(s.page("File") !== null);
            compare(Creations.count("FilePage"), before + 2);
            s.destroyHiddenPages();
            verify(s.page("File") !== null);
            // Declared pages are never destroyed.
            compare(s.page("B"), s.pageB);
        }

        function test_page_that_cannot_be_made_leaves_the_shown_page() {
            var s = makeSwitcher();
            s.currentPage = "Missing";
            compare(s.shownPage, "A");
            compare(s.currentPage, "A");
            verify(s.pageA.visible);
            compare(s.pageA.events, ["enter"]);
        }

        function test_nested_page_is_asked_first_and_its_answer_reaches_the_outer_switcher() {
            var s = makeSwitcher(nestedComponent);
            compare(s.innerSwitcher.shownPage, "Inner");
            s.inner.blocking = true;
            s.currentPage = "Other";
            compare(s.inner.resolveCount, 1);
            compare(s.outer.resolveCount, 0);
            compare(s.shownPage, "Outer");
            compare(rewindSpy.count, 1);
            // The inner page's dialog answers its own switcher; the outer switch goes on.
            s.inner.resume(true);
            compare(s.shownPage, "Other");
            compare(s.innerSwitcher.shownPage, "Inner");
            compare(s.outer.events, ["enter", "leave"]);
        }
    }
}
