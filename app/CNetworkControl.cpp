#include "CNetworkControl.h"

#include "CInterfaceList.h"
#include "CNetlinkRoute.h"
#include "CScodeError.h"

#include <QSettings>
#include <QtDebug>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <net/if.h>
#include <net/if_arp.h>
#include <new>
#include <random>
#include <thread>

namespace {

// The organisation name set at start-up; the record must be found by every later run.
const QString kOrganisation = QStringLiteral("Ardmere");
const QString kApplication = QStringLiteral("Ardmere");
const QString kGroup = QStringLiteral("aliasip");

constexpr uint32_t kLinkLocalNetwork = 0xa9fe0000; // 169.254.0.0
constexpr int kAliasPrefixLength = 16;
constexpr size_t kAdapterSlots = 32;
constexpr int kMaxAddressTableGroups = 32;
constexpr size_t kMaxHardwareAddress = 16;

// Adapter types in the numbering the rest of the program knows.
constexpr int kTypeOther = 1;
constexpr int kTypeEthernet = 2;
constexpr int kTypeTokenRing = 3;
constexpr int kTypeFddi = 4;
constexpr int kTypePpp = 5;
constexpr int kTypeLoopback = 6;
constexpr int kTypeSlip = 7;

QString dotted(uint32_t address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xff)
        .arg((address >> 8) & 0xff)
        .arg(address & 0xff);
}

bool parseDotted(const QString& text, uint32_t& address)
{
    in_addr parsed;
    if (::inet_pton(AF_INET, text.toLatin1().constData(), &parsed) != 1)
        return false;
    address = ntohl(parsed.s_addr);
    return true;
}

int prefixOf(uint32_t mask)
{
    int length = 0;
    while (length < 32 && (mask & (0x80000000u >> length)))
        ++length;
    return length;
}

int adapterType(const InterfaceInfo& info)
{
    switch (info.hardwareType) {
    case ARPHRD_ETHER:
        return kTypeEthernet;
    case ARPHRD_IEEE802_TR:
        return kTypeTokenRing;
    case ARPHRD_FDDI:
        return kTypeFddi;
    case ARPHRD_PPP:
        return kTypePpp;
    case ARPHRD_LOOPBACK:
        return kTypeLoopback;
    case ARPHRD_SLIP:
    case ARPHRD_CSLIP:
        return kTypeSlip;
    default:
        // Tunnels (tun, WireGuard, ...) have no link layer of their own and are point-to-point
        // like PPP: nobody answers at a link-local address behind them.
        return (info.flags & IFF_POINTOPOINT) ? kTypePpp : kTypeOther;
    }
}

bool isLinkLocal(uint32_t address)
{
    return (address & 0xffff0000u) == kLinkLocalNetwork;
}

std::unique_ptr<QSettings> openRecord()
{
    return std::make_unique<QSettings>(kOrganisation, kApplication);
}

void storeRecord(int interfaceIndex, const QString& value)
{
    auto record = openRecord();
    record->setValue(CNetworkControl::settingsKey(interfaceIndex), value);
    record->sync();
}

int systemAddressCount(int& count)
{
    return CInterfaceList::countIpv4Addresses(count);
}

} // namespace

QString CNetworkControl::settingsKey(int interfaceIndex)
{
    return kGroup + QLatin1Char('/') + QString::number(interfaceIndex);
}

void CNetworkControl::removeRecordedAliases()
{
    auto record = openRecord();
    record->beginGroup(kGroup);
    const QStringList keys = record->childKeys();
    record->endGroup();
    std::vector<Ipv4AddressEntry> present;
    CNetlinkRoute netlink;
    bool listed = false;
    for (const QString& key : keys) {
        const QString fullKey = kGroup + QLatin1Char('/') + key;
        const QString text = record->value(fullKey).toString();
        if (text.isEmpty())
            continue;
        bool numeric = false;
        const int interfaceIndex = key.toInt(&numeric);
        uint32_t address = 0;
        if (!numeric || !parseDotted(text, address)) {
            record->setValue(fullKey, QString());
            continue;
        }
        if (!listed) {
            if (const int result = netlink.ipv4Addresses(present); result != 0) {
                qDebug() << "CNetworkControl::removeRecordedAliases cannot list addresses:"
                         << result;
                return;
            }
            listed = true;
        }
        int result = 0;
        for (const Ipv4AddressEntry& entry : present) {
            if (entry.interfaceIndex == interfaceIndex && entry.address == address)
                result = netlink.deleteIpv4Address(interfaceIndex, address, entry.prefixLength);
        }
        if (result == 0) {
            record->setValue(fullKey, QString());
        } else {
            qDebug() << "CNetworkControl::removeRecordedAliases cannot remove" << text << "from"
                     << interfaceIndex << ":" << result;
        }
    }
    record->sync();
}

CNetworkControl::CNetworkControl() : CNetworkControl(Options()) {}

CNetworkControl::CNetworkControl(const Options& options) : m_options(options)
{
    if (!m_options.countAddresses)
        m_options.countAddresses = systemAddressCount;
    buildAdapterTable();
    bool anyUsable = false;
    for (const Adapter& adapter : m_adapters)
        anyUsable = anyUsable || !adapter.addresses.empty();
    if (!anyUsable)
        throw std::runtime_error("No internet connection");
}

CNetworkControl::~CNetworkControl()
{
    if (m_aliasesAdded || m_addAttempted)
        removeAliases();
}

void CNetworkControl::buildAdapterTable()
{
    try {
        std::vector<InterfaceInfo> interfaces;
        if (CInterfaceList::list(interfaces) != 0)
            throw CScodeError("Fail to get adapter table", CScodeError::AdapterListUnreadable);
        std::vector<Ipv4Gateway> gateways;
        // Without the routing table every address counts as one without a gateway, which only
        // widens the choice; it is no reason to give up.
        CNetlinkRoute().ipv4DefaultGateways(gateways);

        for (const InterfaceInfo& info : interfaces) {
            // Never the loopback interface: an address in 169.254.0.0/16 there would make the
            // kernel treat the whole network as local, and every device in it would become
            // unreachable. (The adapter list on other systems leaves loopback out, too.)
            if (info.flags & IFF_LOOPBACK)
                continue;
            if (info.hardwareAddress.size() > kMaxHardwareAddress)
                throw CScodeError("Fail to get adapter table", CScodeError::HardwareAddressTooLong);
            Adapter adapter;
            adapter.index = info.index;
            adapter.name = QString::fromStdString(info.name);
            adapter.hardwareAddress = info.hardwareAddress;
            adapter.type = adapterType(info);
            for (const Ipv4Gateway& gateway : gateways) {
                if (gateway.interfaceIndex == info.index) {
                    adapter.gateway = gateway.gateway;
                    break;
                }
            }
            for (const InterfaceAddress& ipv4 : info.ipv4) {
                const bool inGatewaySubnet =
                    (ipv4.address & ipv4.netmask) == (adapter.gateway & ipv4.netmask);
                if (ipv4.address == 0 ||
                    !(adapter.gateway == 0 || inGatewaySubnet || isLinkLocal(ipv4.address)))
                    continue;
                UsableAddress usable;
                usable.address = ipv4.address;
                usable.text = dotted(ipv4.address);
                usable.mask = dotted(ipv4.netmask);
                usable.prefixLength = prefixOf(ipv4.netmask);
                adapter.addresses.push_back(usable);
            }
            m_adapters.push_back(std::move(adapter));
        }
    } catch (const std::bad_alloc&) {
        m_adapters.clear();
        throw CScodeError("Fail to get adapter table", CScodeError::OutOfMemory);
    }
}

void CNetworkControl::removeStaleAliases()
{
    auto record = openRecord();
    CNetlinkRoute netlink;
    for (Adapter& adapter : m_adapters) {
        const QString stored = record->value(settingsKey(adapter.index)).toString();
        if (stored.isEmpty())
            continue;
        for (auto it = adapter.addresses.end(); it != adapter.addresses.begin();) {
            --it;
            if (it->text != stored)
                continue;
            netlink.deleteIpv4Address(adapter.index, it->address, it->prefixLength);
            it = adapter.addresses.erase(it);
            record->setValue(settingsKey(adapter.index), QString());
        }
    }
    record->sync();
}

bool CNetworkControl::addAliases()
{
    removeStaleAliases();
    m_addAttempted = true;

    bool ok = true;
    std::vector<Ipv4AddressEntry> table;
    if (CNetlinkRoute().ipv4Addresses(table) != 0) {
        ok = false;
    } else {
        int groups = 0;
        for (size_t i = 0; i + 1 < table.size(); ++i)
            groups += table[i].interfaceIndex != table[i + 1].interfaceIndex ? 1 : 0;
        if (groups > kMaxAddressTableGroups) {
            qDebug() << "CNetworkControl::addAliases too many interfaces:" << groups;
            ok = false;
        } else {
            std::vector<bool> handled(m_adapters.size(), false);
            for (int taken = 0; taken < groups; ++taken) {
                size_t next = 0;
                while (next < m_adapters.size() &&
                       (handled[next] || m_adapters[next].addresses.empty()))
                    ++next;
                if (next == m_adapters.size())
                    break;
                handled[next] = true;
                Adapter& adapter = m_adapters[next];
                if (adapter.type == kTypePpp)
                    continue;
                bool hasLinkLocal = false;
                for (const UsableAddress& usable : adapter.addresses)
                    hasLinkLocal =
                        hasLinkLocal || usable.text.startsWith(QLatin1String("169.254."));
                if (hasLinkLocal)
                    continue;
                if (next >= kAdapterSlots)
                    continue;
                if (!addOneAlias(adapter)) {
                    ok = false;
                    break;
                }
            }
        }
    }
    addNeighbourEntries();
    m_aliasesAdded = ok;
    return ok;
}

bool CNetworkControl::addOneAlias(Adapter& adapter)
{
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<int> octet(1, 253);
    CNetlinkRoute netlink;
    for (int attempt = 0; attempt < m_options.attempts; ++attempt) {
        int before = 0;
        if (const int result = m_options.countAddresses(before); result != 0) {
            std::printf("WSAIoctl Error %d\n", -result);
            std::fflush(stdout);
            return false;
        }
        const uint32_t x = static_cast<uint32_t>(octet(engine));
        const uint32_t y = static_cast<uint32_t>(octet(engine));
        const uint32_t alias = kLinkLocalNetwork | (y << 8) | x;
        const int added = netlink.addIpv4Address(adapter.index, alias, kAliasPrefixLength);
        if (added != 0) {
            qDebug() << "CNetworkControl::addAliases cannot add" << dotted(alias) << "to"
                     << adapter.name << ":" << added;
            return false;
        }
        adapter.alias = alias;
        for (int check = 0; check < m_options.checks; ++check) {
            if (check > 0 && !waitOrCancelled())
                break;
            int now = 0;
            if (m_options.countAddresses(now) == 0 && now == before + 1) {
                UsableAddress usable;
                usable.address = alias;
                usable.text = dotted(alias);
                usable.mask = QStringLiteral("255.255.0.0");
                usable.prefixLength = kAliasPrefixLength;
                adapter.addresses.push_back(usable);
                storeRecord(adapter.index, usable.text);
                m_aliasExists = true;
                return true;
            }
        }
        removeAddedAddresses();
        if (m_cancelled)
            return false;
    }
    return false;
}

bool CNetworkControl::waitOrCancelled()
{
    // Short slices, so that cancel() is seen soon.
    const auto slice = std::chrono::milliseconds(20);
    for (auto waited = std::chrono::milliseconds(0); waited < m_options.checkInterval;
         waited += slice) {
        if (m_cancelled)
            return false;
        std::this_thread::sleep_for(std::min(slice, m_options.checkInterval - waited));
    }
    return !m_cancelled;
}

void CNetworkControl::removeAddedAddresses()
{
    CNetlinkRoute netlink;
    for (Adapter& adapter : m_adapters) {
        if (adapter.alias == 0)
            continue;
        const int result =
            netlink.deleteIpv4Address(adapter.index, adapter.alias, kAliasPrefixLength);
        // Gone already (the interface went away, someone removed it) counts as removed.
        if (result == 0 || result == -EADDRNOTAVAIL || result == -ENODEV) {
            storeRecord(adapter.index, QString());
            adapter.alias = 0;
        } else {
            qDebug() << "CNetworkControl::removeAddedAddresses cannot remove"
                     << dotted(adapter.alias) << "from" << adapter.name << ":" << result;
        }
    }
}

void CNetworkControl::addNeighbourEntries()
{
    static const uint8_t broadcast[6] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    CNetlinkRoute netlink;
    for (Adapter& adapter : m_adapters) {
        // Only an entry this run created is removed later; one that was there before stays.
        if (!adapter.neighbourAdded)
            adapter.neighbourAdded = netlink.addNeighbour(adapter.index, kLinkLocalNetwork,
                                                          broadcast, sizeof broadcast) == 0;
    }
}

void CNetworkControl::removeNeighbourEntries()
{
    CNetlinkRoute netlink;
    for (Adapter& adapter : m_adapters) {
        if (adapter.neighbourAdded) {
            netlink.deleteNeighbour(adapter.index, kLinkLocalNetwork);
            adapter.neighbourAdded = false;
        }
    }
}

void CNetworkControl::removeAliases()
{
    removeNeighbourEntries();
    m_addAttempted = false;
    if (m_aliasExists)
        removeAddedAddresses();
    m_aliasesAdded = false;
}

void CNetworkControl::cancel()
{
    m_cancelled = true;
}
