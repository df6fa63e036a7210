import QtQuick 2.15
import QtTest 1.15
import "qrc:/src/qml/Common"

// Every component of the kit compiles and can be made with its defaults.
Item {
    id: top
    width: 600
    height: 400

    GlobalProperty { id: _GProperty_ }

    TestCase {
        name: "KitLoad"
        when: windowShown

        function test_create_data() {
            var common = ["BlockArea", "Blockable", "CorvaneButton", "CorvaneTip", "TipArea", "StatusIcon",
                          "LoadingBusy", "ImportingBlock", "LiteralAnimation", "CorvaneValidator", "CorvaneInputBox",
                          "CorvaneCheckBox", "ComboBox", "CorvaneWindow", "WarningWindow",
                          "CorvaneTable", "TableTitle", "ListTableRowDelegate", "RoleInfo", "TableStyle", "TableStyleBlack",
                          "TableDlg", "TableDlgForStatus", "TableDlgForCameraSelection", "RadioBox", "RadioRow", "DigitBlock",
                          "TimePicker", "DevicePackUISet", "Question", "QuestionList", "QuestionSubList", "QuestionWarning",
                          "QuestionButton", "QuestionCheckBox", "QuestionDualCheckBox", "QuestionComboBox", "QuestionInputBox",
                          "QuestionRootPasswordInputBox", "QuestionRadio", "QuestionSlider", "QuestionTextSlider",
                          "QuestionTimePicker", "QuestionTabSwitcher", "Questionnaire", "PercentBar", "WarningBar", "MoreButton",
                          "ItemDetailButton", "ItemDetailArea", "ZAPKDetailButton", "TableBox", "FailedTable", "ExportButton",
                          "StepImgCaption", "TreeNode", "TableDlgForPageStatus", "TableDlgForZAPKStatus",
                          "TableDlgForZAPKUninstall", "ZAPKListTableRowDelegate"];
            var ostra = ["ZyrStateStyleRect", "ZyrButton", "ZyrImgButton", "ZyrTip", "ZyrInputBox", "ZyrCheckBox",
                         "ZyrSelectionList", "ZyrScrollArea", "ZyrScrollBar", "TitleBar", "ZyrPopupWindow",
                         "ZyrBtnExtendBox", "ZyrImgTabView", "BaseTabDelegate", "ImgTabDelegate", "ImgCaptionTabDelegate",
                         "AnimImgCaptionTabDelegate", "TagTabDelegate", "TxtTabDelegate", "TxtHighLightTabDelegate", "HighLightBar", "ZyrSlider", "ZyrActionDelayTimer",
                         "ZyrDragArea"];
            var rows = [];
            for (var i = 0; i < common.length; ++i)
                rows.push({ tag: common[i], url: "qrc:/src/qml/Common/" + common[i] + ".qml" });
            for (var j = 0; j < ostra.length; ++j)
                rows.push({ tag: ostra[j], url: "qrc:/src/qml/OstraQuick/" + ostra[j] + ".qml" });
            return rows;
        }
        function test_create(row) {
            var c = Qt.createComponent(row.url);
            compare(c.status, Component.Ready, c.errorString());
            var o = c.createObject(top);
            verify(o !== null, "could not create " + row.tag);
            wait(0);
            o.destroy();
        }
    }
}
