#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

// Gives each network interface an extra (alias) address in 169.254.0.0/16, so that devices
// answering only at link-local addresses can be reached, and takes them away again. Works through
// rtnetlink and getifaddrs; changing addresses needs CAP_NET_ADMIN.
//
// Every alias added is recorded in the user's settings store (organisation "Ardmere", application
// "Ardmere", key "aliasip/<interface index>", the address as dotted text, empty when none is
// held), so that a run that ended without removing its aliases can be cleaned up after.
//
// Building the adapter table may throw CScodeError (the interface list is unreadable) or
// std::runtime_error (no interface has a usable address); nothing else here throws.
class CNetworkControl
{
public:
    struct Options
    {
        // Aliases tried per interface before giving up.
        int attempts = 32;
        // Checks that the new address shows up, and the wait between two of them.
        int checks = 17;
        std::chrono::milliseconds checkInterval{300};
        // The number of IPv4 interface addresses on the machine: 0 or a negative errno.
        std::function<int(int&)> countAddresses;
    };

    CNetworkControl();
    explicit CNetworkControl(const Options& options);
    ~CNetworkControl();
    CNetworkControl(const CNetworkControl&) = delete;
    CNetworkControl& operator=(const CNetworkControl&) = delete;

    bool addAliases();
    void removeAliases();

    // Ends the waits of a running add early (it then fails), so that leaving the program never
    // hangs on an address that does not show up.
    void cancel();

    bool aliasesAdded() const { return m_aliasesAdded; }

    // Removes the aliases that the record says an earlier run added and left behind, and empties
    // their keys. Only one copy of the program runs at a time, so any recorded alias found at
    // start-up belongs to a run that has ended. A key stays when its alias cannot be removed now
    // (no CAP_NET_ADMIN), so that a later run can still remove it.
    static void removeRecordedAliases();

    static QString settingsKey(int interfaceIndex);

private:
    struct UsableAddress
    {
        uint32_t address = 0;
        QString text;
        QString mask;
        int prefixLength = 0;
    };

    struct Adapter
    {
        int index = 0;
        QString name;
        std::vector<uint8_t> hardwareAddress;
        bool dhcp = false;
        int type = 1;
        uint32_t gateway = 0;
        std::vector<UsableAddress> addresses;
        // The alias this program added (0 when none): with index it identifies the address.
        uint32_t alias = 0;
        bool neighbourAdded = false;
    };

    void buildAdapterTable();
    void removeStaleAliases();
    bool addOneAlias(Adapter& adapter);
    void removeAddedAddresses();
    void addNeighbourEntries();
    void removeNeighbourEntries();
    bool waitOrCancelled();

    Options m_options;
    std::vector<Adapter> m_adapters;
    bool m_aliasesAdded = false;
    bool m_addAttempted = false;
    bool m_aliasExists = false;
    std::atomic<bool> m_cancelled{false};
};
