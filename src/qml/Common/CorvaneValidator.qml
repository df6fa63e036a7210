import QtQuick 2.15

// The program's validation styles. A style fixes the expression number (regExpStyle), the
// length limit, whether the expression restricts typing (syncValidator), the acceptance rule
// (accept(text)) and the error text an input box shows while its text is refused.
//   1  number between bottomBound and topBound, or one of the exception values
//   2  free text without ' " < > & = ; ` | $ ( ), at least minimumLength characters
//   3  letters, digits, "-" and ".", not ending in "-" or "." (128 characters)
//   4  IPv4 address            5  IPv6 address            6  number 1025-65535
//   7  IPv4 mask               8  as 3, 40 characters     9  even number 1025-65535
//   11 password of 1-64 characters
// Any other style accepts everything.
QtObject {
    id: root

    property int style: 0
    property int minimumLength: 0
    property real topBound: 65535
    property real bottomBound: 0
    property var exception: []

    readonly property real effectiveTop: (style === 6 || style === 9) ? 65535 : topBound
    readonly property real effectiveBottom: (style === 6 || style === 9) ? 1025 : bottomBound

    readonly property int regExpStyle: {
        switch (style) {
        case 1: case 6: case 9: return 4;
        case 2: return 27;
        case 3: case 8: return 28;
        case 4: return 7;
        case 5: return 9;
        case 7: return 8;
        case 11: return 26;
        default: return 0;
        }
    }

    readonly property int maximumLength: {
        switch (style) {
        case 1: case 6: return String(Math.floor(effectiveTop)).length + 1;
        case 9: return String(65535).length + 1;
        case 3: return 128;
        case 8: return 40;
        case 11: return 64;
        default: return 32767;
        }
    }

    readonly property bool syncValidator: style === 1 || style === 4 || style === 5 || style === 6
        || style === 7 || style === 9

    readonly property string numberText: {
        var t = qsTr("Only numbers are allowed:");
        var list = exception ? exception : [];
        for (var i = 0; i < list.length; ++i)
            t += String(list[i]) + ", ";
        return t + effectiveBottom + " - " + effectiveTop;
    }

    readonly property string restrictTailText: qsTr("Characters are allowed: [0-9], [a-z], [A-Z], [-], [.].\n[-] or [.] cannot be the last character")

    readonly property string errorText: {
        switch (style) {
        case 1: case 6: return numberText;
        case 9: return numberText + "\n" + qsTr("Port must be an even number");
        case 2: {
            var chars = ["'", "\"", "<", ">", "&", "=", ";", "`", "|", "$", "(", ")"];
            var t = qsTr("Characters are not allowed: ") + chars.map(function(c) { return "[" + c + "]"; }).join(", ");
            if (minimumLength > 0)
                t += "\n" + qsTr("Minimum %1 characters are required").arg(minimumLength);
            return t;
        }
        case 3: case 8: return restrictTailText;
        case 5: return qsTr("Characters are allowed: [0-9], [a-f], [:]. \nIPv6 address format: 2001:0db8:85a3:0042:1000:8a2e:0370:7334");
        case 11: return qsTr("Invalid password format");
        default: return "";
        }
    }

    function isException(text) {
        var list = exception ? exception : [];
        for (var i = 0; i < list.length; ++i) {
            if (String(list[i]) === text)
                return true;
        }
        return false;
    }

    function expressionMatches(text) {
        var re = (typeof _GProperty_ !== "undefined" && _GProperty_.inputRegExp) ? _GProperty_.inputRegExp(regExpStyle) : /^.*$/;
        return re.test(text);
    }

    function numberInRange(text) {
        if (text === "" || !/^\d+$/.test(text))
            return false;
        var v = Number(text);
        return v >= effectiveBottom && v <= effectiveTop;
    }

    // Whether text passes this style (the expression included).
    function accept(text) {
        text = text === undefined || text === null ? "" : String(text);
        switch (style) {
        case 1: case 6:
            return text !== "" && (numberInRange(text) || isException(text));
        case 9:
            return text !== "" && (numberInRange(text) || isException(text)) && /^\d+$/.test(text) && Number(text) % 2 === 0;
        case 2:
            return text !== "" && text.length >= minimumLength && expressionMatches(text);
        case 3: case 4: case 5: case 7: case 8: case 11:
            return text.length <= maximumLength && expressionMatches(text);
        default:
            return true;
        }
    }
}
