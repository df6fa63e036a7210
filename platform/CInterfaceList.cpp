#include "CInterfaceList.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

InterfaceInfo& entryFor(std::vector<InterfaceInfo>& interfaces, const char* name)
{
    auto found = std::find_if(interfaces.begin(), interfaces.end(),
                              [name](const InterfaceInfo& info) { return info.name == name; });
    if (found != interfaces.end())
        return *found;
    InterfaceInfo info;
    info.name = name;
    info.index = static_cast<int>(::if_nametoindex(name));
    interfaces.push_back(std::move(info));
    return interfaces.back();
}

} // namespace

int CInterfaceList::list(std::vector<InterfaceInfo>& interfaces)
{
    interfaces.clear();
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0)
        return -errno;
    for (const ifaddrs* entry = all; entry; entry = entry->ifa_next) {
        if (!entry->ifa_name)
            continue;
        InterfaceInfo& info = entryFor(interfaces, entry->ifa_name);
        info.flags = entry->ifa_flags;
        if (!entry->ifa_addr)
            continue;
        if (entry->ifa_addr->sa_family == AF_PACKET) {
            sockaddr_ll link;
            std::memcpy(&link, entry->ifa_addr, sizeof link);
            info.index = link.sll_ifindex;
            info.hardwareType = link.sll_hatype;
            const size_t length = std::min<size_t>(link.sll_halen, sizeof link.sll_addr);
            info.hardwareAddress.assign(link.sll_addr, link.sll_addr + length);
        } else if (entry->ifa_addr->sa_family == AF_INET) {
            sockaddr_in address;
            std::memcpy(&address, entry->ifa_addr, sizeof address);
            InterfaceAddress ipv4;
            ipv4.address = ntohl(address.sin_addr.s_addr);
            if (entry->ifa_netmask) {
                sockaddr_in mask;
                std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
                ipv4.netmask = ntohl(mask.sin_addr.s_addr);
            }
            info.ipv4.push_back(ipv4);
        }
    }
    ::freeifaddrs(all);
    std::stable_sort(
        interfaces.begin(), interfaces.end(),
        [](const InterfaceInfo& a, const InterfaceInfo& b) { return a.index < b.index; });
    return 0;
}

int CInterfaceList::countIpv4Addresses(int& count)
{
    count = 0;
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0)
        return -errno;
    for (const ifaddrs* entry = all; entry; entry = entry->ifa_next) {
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET)
            ++count;
    }
    ::freeifaddrs(all);
    return 0;
}
