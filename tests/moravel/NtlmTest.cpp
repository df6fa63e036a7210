// NTLM message code against the NTLMv2 example of MS-NLMP §4.2.4 and malformed challenges.
#include "mv_ntlm.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> hex(const std::string& h)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < h.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoul(h.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// The CHALLENGE_MESSAGE of MS-NLMP §4.2.4.3 (target "Server", AV pairs Domain/Server).
const std::vector<uint8_t> kChallenge =
    hex(std::string("4e544c4d53535000") + "02000000" + "0c000c0038000000" + "33828ae2" +
        "0123456789abcdef" + "0000000000000000" + "2400240044000000" + "060070170000000f" +
        "530065007200760065007200" + "02000c0044006f006d00610069006e00" +
        "01000c00530065007200760065007200" + "00000000");

TEST(Ntlm, NegotiateIsFortyBytesWithVersion)
{
    uint8_t msg[MV_NTLM_NEGOTIATE_LEN];
    mv_ntlm_negotiate(msg);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(msg), 8), std::string("NTLMSSP\0", 8));
    EXPECT_EQ(msg[8], 1);
    uint32_t flags =
        msg[12] | (msg[13] << 8) | (msg[14] << 16) | (static_cast<uint32_t>(msg[15]) << 24);
    EXPECT_TRUE(flags & 0x02000000u) << "NEGOTIATE_VERSION";
    EXPECT_TRUE(flags & 0x00080000u) << "extended session security";
    EXPECT_TRUE(flags & 0x00000200u) << "NTLM";
    EXPECT_EQ(msg[39], 0x0f) << "NTLMSSP_REVISION_W2K3";
}

TEST(Ntlm, NtowfV2MatchesTheNlmpTestVector)
{
    uint8_t key[16];
    ASSERT_EQ(mv_ntlm_ntowfv2("User", "Domain", "Password", key), 0);
    EXPECT_EQ(std::vector<uint8_t>(key, key + 16), hex("0c868a403bfd7a93a3001ef22ef02e3f"));
}

TEST(Ntlm, V2ResponsesMatchTheNlmpTestVectors)
{
    uint8_t key[16];
    ASSERT_EQ(mv_ntlm_ntowfv2("User", "Domain", "Password", key), 0);
    // The AV pairs of the example's challenge: MsvAvNbDomainName, MsvAvNbComputerName, EOL.
    const std::vector<uint8_t> info(kChallenge.begin() + 68, kChallenge.end());
    ASSERT_EQ(info.size(), 36u);
    const std::vector<uint8_t> server = hex("0123456789abcdef");
    const std::vector<uint8_t> client = hex("aaaaaaaaaaaaaaaa");
    std::vector<uint8_t> nt(16 + 28 + info.size() + 4);
    size_t ntLen = 0;
    uint8_t lm[24], base[16];
    ASSERT_EQ(mv_ntlm_v2_responses(key, server.data(), client.data(), 0, info.data(), info.size(),
                                   nt.data(), &ntLen, lm, base),
              0);
    EXPECT_EQ(std::vector<uint8_t>(nt.begin(), nt.begin() + 16),
              hex("68cd0ab851e51c96aabc927bebef6a1c"));
    EXPECT_EQ(std::vector<uint8_t>(lm, lm + 24),
              hex("86c35097ac9cec102554764a57cccc19aaaaaaaaaaaaaaaa"));
    EXPECT_EQ(std::vector<uint8_t>(base, base + 16), hex("8de40ccadbc14a82f15cb0ad0de95ca3"));
}

TEST(Ntlm, AuthenticateAnswersTheChallenge)
{
    MvNtlmChallenge ch;
    ASSERT_EQ(mv_ntlm_parse_challenge(kChallenge.data(), kChallenge.size(), &ch), 0)
        << kChallenge.size();
    EXPECT_EQ(ch.flags, 0xe28a8233u);
    EXPECT_EQ(std::vector<uint8_t>(ch.serverChallenge, ch.serverChallenge + 8),
              hex("0123456789abcdef"));
    ASSERT_EQ(ch.targetInfoLen, 36);
    const uint8_t client[8] = {0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa};
    std::vector<uint8_t> out(4096);
    size_t len = 0;
    MvNtlmSession session;
    ASSERT_EQ(mv_ntlm_authenticate("User", "Domain", "Password", &ch, client, 0, out.data(),
                                   out.size(), &len, &session),
              0);
    EXPECT_EQ(out[8], 3);
    // The NT response field points at NTProofStr of the example.
    size_t ntLen = out[20] | (out[21] << 8);
    size_t ntOff = out[24] | (out[25] << 8);
    ASSERT_LE(ntOff + ntLen, len);
    EXPECT_EQ(ntLen, 16u + 28u + 36u + 4u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + ntOff, out.begin() + ntOff + 16),
              hex("68cd0ab851e51c96aabc927bebef6a1c"));
    EXPECT_EQ(std::vector<uint8_t>(session.sessionKey, session.sessionKey + 16),
              hex("8de40ccadbc14a82f15cb0ad0de95ca3"));
}

struct BadChallenge
{
    const char* name;
    size_t cut;     // keep this many bytes (0: all)
    size_t patchAt; // byte to overwrite (0: none)
    uint8_t patch;
};

class NtlmBadChallenge : public ::testing::TestWithParam<BadChallenge>
{
};

TEST_P(NtlmBadChallenge, IsRefused)
{
    std::vector<uint8_t> msg = kChallenge;
    const BadChallenge& c = GetParam();
    if (c.patchAt) {
        msg[c.patchAt] = c.patch;
    }
    if (c.cut) {
        msg.resize(c.cut);
    }
    MvNtlmChallenge ch;
    EXPECT_EQ(mv_ntlm_parse_challenge(msg.data(), msg.size(), &ch), -1);
}

INSTANTIATE_TEST_SUITE_P(Malformed, NtlmBadChallenge,
                         ::testing::Values(BadChallenge{"Truncated", 20, 0, 0},
                                           BadChallenge{"CutInTargetInfo", 90, 0, 0},
                                           BadChallenge{"WrongSignature", 0, 3, 'X'},
                                           BadChallenge{"WrongType", 0, 8, 3},
                                           BadChallenge{"NameBeyondEnd", 0, 17, 0x40},
                                           BadChallenge{"TargetInfoBeyondEnd", 0, 45, 0x10},
                                           BadChallenge{"AvPairBeyondField", 0, 70, 0x7f}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
