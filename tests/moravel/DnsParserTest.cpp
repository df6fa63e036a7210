// The resolver's answer parser on hand-made messages: good answers, and answers that are
// truncated, lie about their lengths or loop through compression pointers.
#include "MoravelTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "mv_dns.h"

using namespace mvtest;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes query(uint16_t type, const char* name = "cam.test")
{
    uint8_t buf[MV_DNS_MAX_QUERY];
    size_t n = mv_dns_build_query(0xBEEF, name, nullptr, type, buf, sizeof(buf));
    return Bytes(buf, buf + n);
}

// Answer records written out by hand after the question: owner, type, class 1, TTL, rdata.
Bytes withRecords(Bytes msg, uint16_t count, const Bytes& records, uint8_t rcode = 0)
{
    msg[2] = 0x81;
    msg[3] = static_cast<uint8_t>(0x80 | rcode);
    msg[6] = static_cast<uint8_t>(count >> 8);
    msg[7] = static_cast<uint8_t>(count);
    msg.insert(msg.end(), records.begin(), records.end());
    return msg;
}

Bytes rr(const Bytes& owner, uint16_t type, const Bytes& rdata, int lengthLie = 0)
{
    Bytes out(owner);
    uint16_t len = static_cast<uint16_t>(rdata.size() + lengthLie);
    const uint8_t fixed[] = {
        static_cast<uint8_t>(type >> 8), static_cast<uint8_t>(type), 0, 1, 0, 0, 0, 60,
        static_cast<uint8_t>(len >> 8),  static_cast<uint8_t>(len)};
    out.insert(out.end(), fixed, fixed + sizeof(fixed));
    out.insert(out.end(), rdata.begin(), rdata.end());
    return out;
}

const Bytes kPtrQuestion = {0xC0, 12};
const Bytes kA = {10, 1, 2, 3};
const Bytes kAaaa = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x42};
// "www" + pointer to the question name, as a CNAME's target
const Bytes kCnameTarget = {3, 'w', 'w', 'w', 0xC0, 12};

Bytes cnameThenA()
{
    Bytes q = query(1);
    size_t cnameAt = q.size(); // the CNAME record starts right after the question
    Bytes recs = rr(kPtrQuestion, 5, kCnameTarget);
    // The A record's owner points at the CNAME's target name.
    Bytes owner = {0xC0, static_cast<uint8_t>(cnameAt + 2 + 10)};
    Bytes a = rr(owner, 1, kA);
    recs.insert(recs.end(), a.begin(), a.end());
    return withRecords(q, 2, recs);
}

struct ParseCase
{
    const char* name;
    Bytes msg;
    uint16_t qtype;
    int32_t status;
    const char* text; // expected IPv4 or IPv6 text on success
};

class DnsParser : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(DnsParser, ParsesOrRefuses)
{
    const ParseCase& c = GetParam();
    MoravelResolveResult res{};
    EXPECT_EQ(mv_dns_parse_answer(c.msg.data(), c.msg.size(), 0xBEEF, c.qtype, &res), c.status);
    if (c.status == 0) {
        EXPECT_STREQ(c.qtype == 1 ? res.ipv4Text : res.ipv6Text, c.text);
    }
}

Bytes patched(Bytes b, size_t at, uint8_t value)
{
    b[at] = value;
    return b;
}

std::vector<ParseCase> cases()
{
    const int32_t bad = MORAVEL_E_IDLE_TIMEOUT;
    Bytes goodA = withRecords(query(1), 1, rr(kPtrQuestion, 1, kA));
    Bytes q = query(1);
    size_t end = q.size();
    return {
        {"A", goodA, 1, 0, "10.1.2.3"},
        {"CnameThenA", cnameThenA(), 1, 0, "10.1.2.3"},
        {"Aaaa", withRecords(query(28), 1, rr(kPtrQuestion, 28, kAaaa)), 28, 0,
         "2001:0db8:0000:0000:0000:0000:0000:0042"},
        {"OwnerWrittenOut", withRecords(q, 1, rr({3, 'c', 'a', 'm', 0}, 1, kA)), 1, 0, "10.1.2.3"},
        {"WrongId", patched(goodA, 1, 0x00), 1, bad, nullptr},
        {"NotAResponse", patched(goodA, 2, 0x01), 1, bad, nullptr},
        {"TwoQuestions", patched(goodA, 5, 2), 1, bad, nullptr},
        {"RcodeOne", withRecords(query(1), 1, rr(kPtrQuestion, 1, kA), 1), 1, MORAVEL_E_DNS_FORMAT,
         nullptr},
        {"RcodeThree", withRecords(query(1), 0, {}, 3), 1, bad, nullptr},
        {"NoAnswer", withRecords(query(1), 0, Bytes(8, 0)), 1, bad, nullptr},
        {"QuestionTypeMx", withRecords(query(15), 1, rr(kPtrQuestion, 1, kA)), 15, bad, nullptr},
        {"AnswerForOtherType", goodA, 28, bad, nullptr},
        {"OnlyCname", withRecords(query(1), 1, rr(kPtrQuestion, 5, kCnameTarget)), 1, bad, nullptr},
        {"CountsMoreRecordsThanSent", withRecords(query(1), 3, rr(kPtrQuestion, 5, kCnameTarget)),
         1, bad, nullptr},
        {"RdataLongerThanMessage", withRecords(query(1), 1, rr(kPtrQuestion, 1, kA, 200)), 1, bad,
         nullptr},
        {"RdataLengthMaxed", withRecords(query(1), 1, rr(kPtrQuestion, 1, kA, 65531)), 1, bad,
         nullptr},
        {"ALengthFive", withRecords(query(1), 1, rr(kPtrQuestion, 1, {1, 2, 3, 4, 5})), 1, bad,
         nullptr},
        {"PointerToItself", withRecords(query(1), 1, rr({0xC0, static_cast<uint8_t>(end)}, 1, kA)),
         1, bad, nullptr},
        {"PointerForward",
         withRecords(query(1), 1, rr({0xC0, static_cast<uint8_t>(end + 40)}, 1, kA)), 1, bad,
         nullptr},
        // The CNAME target points forward to the A owner, which points back: a loop.
        {"PointerLoop",
         withRecords(
             query(1), 2,
             [&] {
                 Bytes r = rr(kPtrQuestion, 5, {0xC0, static_cast<uint8_t>(end + 12 + 2 + 10)});
                 Bytes a = rr({0xC0, static_cast<uint8_t>(end + 12)}, 1, kA);
                 r.insert(r.end(), a.begin(), a.end());
                 return r;
             }()),
         1, bad, nullptr},
        {"PointerOutsideMessage", withRecords(query(1), 1, rr({0xFF, 0xFF}, 1, kA)), 1, bad,
         nullptr},
        {"LabelRunsOff", withRecords(query(1), 1, rr({60, 'a', 'b'}, 1, {})), 1, bad, nullptr},
        {"ReservedLabelType", withRecords(query(1), 1, rr({0x40, 1, 0}, 1, kA)), 1, bad, nullptr},
        {"TooShort", Bytes(14, 0), 1, bad, nullptr},
        {"Empty", Bytes(), 1, bad, nullptr},
    };
}

INSTANTIATE_TEST_SUITE_P(Resolver, DnsParser, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DnsParserTruncation, EveryCutOfAGoodAnswerFails)
{
    Bytes full = cnameThenA();
    MoravelResolveResult res{};
    ASSERT_EQ(mv_dns_parse_answer(full.data(), full.size(), 0xBEEF, 1, &res), 0);
    for (size_t len = 0; len < full.size(); ++len) {
        // A copy of exactly len bytes, so that the sanitizers see any read past it.
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(len));
        EXPECT_NE(mv_dns_parse_answer(cut.data(), cut.size(), 0xBEEF, 1, &res), 0) << len;
    }
}

TEST(DnsQuery, EncodesLabelsAndAppendsTheDomainToSingleLabelNames)
{
    struct Case
    {
        const char* host;
        const char* domain;
        Bytes name; // expected QNAME
    };
    const Case cases[] = {
        {"cam.test", "corp", {3, 'c', 'a', 'm', 4, 't', 'e', 's', 't', 0}},
        {"cam", "corp", {3, 'c', 'a', 'm', 4, 'c', 'o', 'r', 'p', 0}},
        {"cam", "", {3, 'c', 'a', 'm', 0}},
        {"cam.", nullptr, {3, 'c', 'a', 'm', 0}},
    };
    for (const auto& c : cases) {
        uint8_t buf[MV_DNS_MAX_QUERY];
        size_t n = mv_dns_build_query(0x0102, c.host, c.domain, 28, buf, sizeof(buf));
        ASSERT_EQ(n, 12 + c.name.size() + 4) << c.host;
        EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{0x01, 0x02, 0x01, 0x00})) << c.host;
        EXPECT_EQ(Bytes(buf + 12, buf + 12 + c.name.size()), c.name) << c.host;
        EXPECT_EQ(Bytes(buf + n - 4, buf + n), (Bytes{0, 28, 0, 1})) << c.host;
    }
    uint8_t buf[MV_DNS_MAX_QUERY];
    for (const char* bad : {"", ".", "a..b", ".a"}) {
        EXPECT_EQ(mv_dns_build_query(1, bad, nullptr, 1, buf, sizeof(buf)), 0u) << bad;
    }
    EXPECT_EQ(mv_dns_build_query(1, std::string(64, 'a').c_str(), nullptr, 1, buf, sizeof(buf)),
              0u);
    EXPECT_EQ(mv_dns_build_query(1, "cam.test", nullptr, 1, buf, 20), 0u); // no room
}

} // namespace
