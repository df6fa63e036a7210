// Encoding and decoding of discovery datagrams, including every way a datagram can be broken.
#include "pyxera_wire.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

pxw_answer sampleAnswer()
{
    pxw_answer a{};
    a.probe_id = 0xA1B2C3D4u;
    std::strcpy(a.info, "Q2710-QXOR-4.12.7");
    const uint8_t mac[6] = {0x00, 0x1A, 0x07, 0xAB, 0xCD, 0xEF};
    std::memcpy(a.mac, mac, 6);
    std::strcpy(a.ipv4, "127.0.41.20");
    std::strcpy(a.model, "Q2710");
    a.http_port = 8080;
    a.number = 0x01020304u;
    std::strcpy(a.extra, "second text");
    a.cms_port = 3454;
    a.https_port = 8443;
    return a;
}

Bytes encode(const pxw_answer& a)
{
    Bytes b(PXW_ANSWER_MAX_SIZE);
    size_t n = 0;
    EXPECT_EQ(pxw_encode_answer(&a, b.data(), b.size(), &n), PXW_OK);
    b.resize(n);
    return b;
}

Bytes header(uint8_t type, uint32_t id = 7, uint8_t version = PXW_VERSION)
{
    return {'P',
            'Y',
            'X',
            'R',
            version,
            type,
            0,
            0,
            uint8_t(id),
            uint8_t(id >> 8),
            uint8_t(id >> 16),
            uint8_t(id >> 24)};
}

void field(Bytes& b, uint8_t tag, const Bytes& v)
{
    b.push_back(tag);
    b.push_back(uint8_t(v.size()));
    b.insert(b.end(), v.begin(), v.end());
}

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// A hand-built answer with every required field, optionally replacing or dropping one tag, so that
// each malformed case differs from a valid answer in exactly one place.
Bytes handAnswer(int replaceTag = -1, const Bytes& replacement = {}, bool drop = false)
{
    Bytes b = header(PXW_TYPE_ANSWER);
    const std::vector<std::pair<uint8_t, Bytes>> fields = {
        {PXW_TAG_INFO, text("Q2710-QXOR-4.12.7")},
        {PXW_TAG_MAC, {1, 2, 3, 4, 5, 6}},
        {PXW_TAG_IPV4, text("127.0.41.20")},
        {PXW_TAG_MODEL, text("Q2710")},
        {PXW_TAG_HTTP_PORT, {0x50, 0}},
        {PXW_TAG_CMS_PORT, {0x7E, 0x0D}},
        {PXW_TAG_HTTPS_PORT, {0xBB, 0x01}},
    };
    for (const auto& f : fields) {
        if (f.first == replaceTag) {
            if (!drop)
                field(b, f.first, replacement);
        } else {
            field(b, f.first, f.second);
        }
    }
    return b;
}

} // namespace

TEST(PyxeraWire, AnswerRoundTripKeepsEveryField)
{
    const pxw_answer in = sampleAnswer();
    const Bytes wire = encode(in);
    pxw_answer out;
    ASSERT_EQ(pxw_decode_answer(wire.data(), wire.size(), &out), PXW_OK);
    EXPECT_EQ(out.probe_id, in.probe_id);
    EXPECT_STREQ(out.info, in.info);
    EXPECT_EQ(0, std::memcmp(out.mac, in.mac, 6));
    EXPECT_STREQ(out.ipv4, in.ipv4);
    EXPECT_STREQ(out.model, in.model);
    EXPECT_EQ(out.http_port, 8080);
    EXPECT_EQ(out.number, 0x01020304u);
    EXPECT_STREQ(out.extra, in.extra);
    EXPECT_EQ(out.cms_port, 3454);
    EXPECT_EQ(out.https_port, 8443);
    EXPECT_EQ(pxw_datagram_type(wire.data(), wire.size()), PXW_TYPE_ANSWER);
}

TEST(PyxeraWire, LongestTextsFitAndOneMoreIsRefused)
{
    pxw_answer a = sampleAnswer();
    std::memset(a.info, 'I', sizeof a.info - 1);
    a.info[sizeof a.info - 1] = '\0';
    std::memset(a.extra, 'E', sizeof a.extra - 1);
    a.extra[sizeof a.extra - 1] = '\0';
    const Bytes wire = encode(a);
    EXPECT_LE(wire.size(), size_t(PXW_ANSWER_MAX_SIZE));
    pxw_answer out;
    ASSERT_EQ(pxw_decode_answer(wire.data(), wire.size(), &out), PXW_OK);
    EXPECT_EQ(std::strlen(out.info), sizeof a.info - 1);
    EXPECT_EQ(std::strlen(out.extra), sizeof a.extra - 1);

    // A text without its terminator inside the array cannot be encoded.
    std::memset(a.model, 'M', sizeof a.model);
    Bytes buf(PXW_ANSWER_MAX_SIZE);
    size_t n = 99;
    EXPECT_EQ(pxw_encode_answer(&a, buf.data(), buf.size(), &n), PXW_ERR_ARG);
    EXPECT_EQ(n, 0u);
}

TEST(PyxeraWire, EncoderRespectsTheBufferSize)
{
    const Bytes full = encode(sampleAnswer());
    Bytes buf(full.size() - 1);
    size_t n = 0;
    const pxw_answer a = sampleAnswer();
    EXPECT_EQ(pxw_encode_answer(&a, buf.data(), buf.size(), &n), PXW_ERR_SPACE);
    pxw_probe p{1, 0, 10};
    uint8_t small[PXW_PROBE_SIZE - 1];
    EXPECT_EQ(pxw_encode_probe(&p, small, sizeof small, &n), PXW_ERR_SPACE);
}

// Every proper prefix of a valid answer is a truncated datagram and must be refused, never read
// past its end (the sanitizer build checks the latter).
TEST(PyxeraWire, EveryTruncationOfAnAnswerIsRefused)
{
    const Bytes wire = encode(sampleAnswer());
    for (size_t len = 0; len < wire.size(); ++len) {
        Bytes cut(wire.begin(), wire.begin() + long(len));
        pxw_answer out;
        out.http_port = 1;
        EXPECT_NE(pxw_decode_answer(cut.data(), cut.size(), &out), PXW_OK) << "length " << len;
        EXPECT_EQ(out.http_port, 0) << "output must be cleared on failure";
    }
}

struct BadAnswer
{
    const char* name;
    Bytes datagram;
    int expected;
};

class PyxeraWireBadAnswer : public ::testing::TestWithParam<BadAnswer>
{
};

TEST_P(PyxeraWireBadAnswer, IsRefusedWithItsReason)
{
    const BadAnswer& c = GetParam();
    pxw_answer out;
    EXPECT_EQ(pxw_decode_answer(c.datagram.data(), c.datagram.size(), &out), c.expected);
}

static Bytes withTail(Bytes b, const Bytes& tail)
{
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PyxeraWireBadAnswer,
    ::testing::Values(
        BadAnswer{"empty", {}, PXW_ERR_SHORT},
        BadAnswer{"http_request", text("GET / HTTP/1.1\r\n\r\n"), PXW_ERR_MAGIC},
        BadAnswer{"future_version", withTail(header(PXW_TYPE_ANSWER, 7, 2), {1, 0}),
                  PXW_ERR_VERSION},
        BadAnswer{"probe_not_answer", withTail(header(PXW_TYPE_PROBE), {0, 0, 0, 0}), PXW_ERR_TYPE},
        BadAnswer{"header_only", header(PXW_TYPE_ANSWER), PXW_ERR_MISSING},
        BadAnswer{"field_past_end", withTail(handAnswer(), {PXW_TAG_EXTRA, 10, 'a'}),
                  PXW_ERR_SHORT},
        BadAnswer{"repeated_tag", withTail(handAnswer(), {PXW_TAG_HTTP_PORT, 2, 1, 0}),
                  PXW_ERR_FIELD},
        BadAnswer{"mac_five_bytes", handAnswer(PXW_TAG_MAC, {1, 2, 3, 4, 5}), PXW_ERR_FIELD},
        BadAnswer{"port_three_bytes", handAnswer(PXW_TAG_CMS_PORT, {1, 2, 3}), PXW_ERR_FIELD},
        BadAnswer{"info_too_long", handAnswer(PXW_TAG_INFO, Bytes(44, 'x')), PXW_ERR_FIELD},
        BadAnswer{"address_too_long", handAnswer(PXW_TAG_IPV4, Bytes(20, '1')), PXW_ERR_FIELD},
        BadAnswer{"nul_inside_model", handAnswer(PXW_TAG_MODEL, {'Q', 0, 'X'}), PXW_ERR_FIELD},
        BadAnswer{"control_in_info", handAnswer(PXW_TAG_INFO, {'Q', '\n'}), PXW_ERR_FIELD},
        BadAnswer{"https_port_missing", handAnswer(PXW_TAG_HTTPS_PORT, {}, true), PXW_ERR_MISSING},
        BadAnswer{"mac_missing", handAnswer(PXW_TAG_MAC, {}, true), PXW_ERR_MISSING}),
    [](const ::testing::TestParamInfo<BadAnswer>& i) { return std::string(i.param.name); });

TEST(PyxeraWire, UnknownTagsAreSkippedAndOptionalFieldsDefault)
{
    Bytes b = withTail(handAnswer(), {200, 3, 9, 9, 9, 0, 0});
    pxw_answer out;
    ASSERT_EQ(pxw_decode_answer(b.data(), b.size(), &out), PXW_OK);
    EXPECT_EQ(out.number, 0u);
    EXPECT_STREQ(out.extra, "");
    EXPECT_EQ(out.http_port, 80);
    EXPECT_EQ(out.cms_port, 3454);
    EXPECT_EQ(out.https_port, 443);
}

TEST(PyxeraWire, ProbeRoundTripAndLimits)
{
    pxw_probe in{0xDEADBEEFu, PXW_PROBE_FLAG_RANGE, 1000};
    uint8_t buf[64];
    size_t n = 0;
    ASSERT_EQ(pxw_encode_probe(&in, buf, sizeof buf, &n), PXW_OK);
    ASSERT_EQ(n, size_t(PXW_PROBE_SIZE));
    pxw_probe out;
    ASSERT_EQ(pxw_decode_probe(buf, n, &out), PXW_OK);
    EXPECT_EQ(out.probe_id, in.probe_id);
    EXPECT_EQ(out.flags, in.flags);
    EXPECT_EQ(out.spread_ms, in.spread_ms);
    for (size_t len = 0; len < n; ++len)
        EXPECT_NE(pxw_decode_probe(buf, len, &out), PXW_OK) << "length " << len;

    // A sender may not ask for more than the longest window; a reader caps what it gets.
    in.spread_ms = PXW_MAX_SPREAD_MS + 1;
    EXPECT_EQ(pxw_encode_probe(&in, buf, sizeof buf, &n), PXW_ERR_ARG);
    buf[14] = 0xFF;
    buf[15] = 0xFF;
    ASSERT_EQ(pxw_decode_probe(buf, PXW_PROBE_SIZE, &out), PXW_OK);
    EXPECT_EQ(out.spread_ms, PXW_MAX_SPREAD_MS);
    const Bytes answer = encode(sampleAnswer());
    EXPECT_EQ(pxw_decode_probe(answer.data(), answer.size(), &out), PXW_ERR_TYPE);
}

TEST(PyxeraWire, AnswerDelayStaysInsideTheWindow)
{
    pxw_probe p{1, 0, 0};
    EXPECT_EQ(pxw_answer_delay_ms(&p, 12345u), 0u);
    p.spread_ms = 1000;
    for (uint32_t r : {0u, 1000u, 1001u, 0xFFFFFFFFu})
        EXPECT_LE(pxw_answer_delay_ms(&p, r), 1000u);
    EXPECT_EQ(pxw_answer_delay_ms(&p, 1000u), 1000u);
}
