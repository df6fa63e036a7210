import QtQuick 2.15
import "../../Common"

SettingsForm {
    id: page

    objectName: "settingsNetworkTypeAndPort"
    pageName: "NetworkTypeAndPort"
    title: qsTr("Network type & port")

    readonly property bool manualIpv6: ipv6.checked && ipv6Manual.checked

    QuestionSubList {
        title: qsTr("UPnP")
        QuestionCheckBox {
            objectName: "questionUpnpPresentation"
            captionText: qsTr("UPnP Presentation")
            uid: "uid_upnp_presentation_enable"
        }
        QuestionCheckBox {
            objectName: "questionUpnpPortForward"
            captionText: qsTr("Port forwarding")
            uid: "uid_upnp_portforward_enable"
        }
    }
    QuestionSubList {
        title: qsTr("IPv6 settings")
        QuestionCheckBox {
            id: ipv6
            objectName: "questionIpv6"
            captionText: qsTr("IPv6")
            uid: "uid_ipv6_enable"
        }
        QuestionCheckBox {
            id: ipv6Manual
            objectName: "questionIpv6Manual"
            captionText: qsTr("Manually setup the IPv6 IP")
            uid: "uid_ipv6_allow_optional"
            available: ipv6.checked
        }
        QuestionInputBox {
            objectName: "questionIpv6Address"
            captionText: qsTr("IP(optional)")
            uid: "uid_ipv6_ipaddress"
            validator.style: 5
            available: page.manualIpv6
        }
        QuestionInputBox {
            objectName: "questionIpv6Prefix"
            captionText: qsTr("Prefix length")
            uid: "uid_ipv6_prefix_length"
            validator.style: 1
            validator.bottomBound: 1
            validator.topBound: 255
            available: page.manualIpv6
        }
        QuestionInputBox {
            objectName: "questionIpv6Gateway"
            captionText: qsTr("Gateway(optional)")
            uid: "uid_ipv6_gateway"
            validator.style: 5
            available: page.manualIpv6
        }
        QuestionInputBox {
            objectName: "questionIpv6Dns"
            captionText: qsTr("DNS server(Optional)")
            uid: "uid_ipv6_dns"
            validator.style: 5
            available: page.manualIpv6
        }
    }
    QuestionSubList {
        title: qsTr("Port")
        QuestionInputBox {
            objectName: "questionHttpsPort"
            captionText: qsTr("HTTPS port")
            uid: "uid_network_https_port"
            validator.style: 6
            validator.exception: [443]
            allowEmpty: false
        }
        QuestionInputBox {
            objectName: "questionTwoWayAudioPort"
            captionText: qsTr("Two way audio port")
            uid: "uid_network_two_way_audio_port"
            validator.style: 6
            allowEmpty: false
            available: devicePackUISet.opts.length > 0
        }
        QuestionInputBox {
            objectName: "questionFtpPort"
            captionText: qsTr("FTP port")
            uid: "uid_network_ftp_port"
            validator.style: 6
            validator.exception: [21]
            allowEmpty: false
        }
    }
}
