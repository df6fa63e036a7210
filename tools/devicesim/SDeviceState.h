#pragma once

#include "CHttpAuth.h"
#include "CParamTable.h"
#include "DeviceTypes.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

// Everything one virtual device knows about itself. The CGI layer reads and changes it; the
// device turns it into listening sockets and discovery answers.
struct SDeviceState
{
    int index = 0;
    uint32_t address = 0;        // where it answers now
    uint32_t factoryAddress = 0; // where it answered at start-up (restored on factory reset)
    uint32_t dhcpAddress = 0;    // what "DHCP" hands it at the next restart (0: keep address)
    int httpPort = 80;
    int httpsPort = 443;

    std::string model;         // "QD8182"
    std::string extendedModel; // "QD8182-EHV"; empty: none
    std::string brand = "QXOR";
    std::string firmwareVersion; // "0104a"
    std::string mac;             // "02-A5-7F-00-0A-05"
    bool recorder = false;
    int channels = 1;

    std::string user = "root";
    std::string password;
    EAuthMode authMode = EAuthMode::Digest;
    bool firstUse = false;

    CParamTable params;
    CParamTable factoryParams; // the table as it was at start-up, for factory restore
    std::vector<SModule> modules;
    std::vector<SSdCard> sdCards;

    SFault fault;
    int restartMs = 3000;
    int uploadRefusalStatus = 200; // HTTP status of a refused upload (its text says why)
    // How long a device keeps running its old firmware after accepting a new one.
    int upgradeGoDownMs = 300;
    std::string exportFileName; // overrides the name of every exported file when set
    int reportBytes = 0;        // the server report is padded to this size (0: as it is)
    // What getparam answers instead of a parameter, generated ones included; no value: the
    // parameter is left out of the answer. The table itself is untouched.
    std::map<std::string, std::optional<std::string>> replyOverrides;

    std::string identification() const { return model + "-" + brand + "-" + firmwareVersion; }
    std::string serial() const
    {
        std::string out;
        for (char c : mac)
            if (c != '-')
                out.push_back(c);
        return out;
    }
};

} // namespace devsim
