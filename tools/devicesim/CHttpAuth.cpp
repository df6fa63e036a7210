#include "CHttpAuth.h"

#include "StringUtil.h"

#include <openssl/evp.h>

#include <cctype>
#include <chrono>
#include <map>

namespace devsim {

namespace {

const std::string& processSecret()
{
    static const std::string secret = randomHex(16);
    return secret;
}

std::string base64Decode(const std::string& text)
{
    std::string clean;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            clean.push_back(c);
    if (clean.empty() || clean.size() % 4 != 0)
        return {};
    std::string out(clean.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                                  reinterpret_cast<const unsigned char*>(clean.data()),
                                  static_cast<int>(clean.size()));
    if (n < 0)
        return {};
    out.resize(static_cast<std::size_t>(n));
    // EVP_DecodeBlock counts the padding as zero bytes.
    if (clean.size() >= 1 && clean[clean.size() - 1] == '=')
        out.pop_back();
    if (clean.size() >= 2 && clean[clean.size() - 2] == '=')
        out.pop_back();
    return out;
}

// Parses the comma-separated auth-params of a Digest header (RFC 7616 §3.4), values optionally
// quoted with backslash escapes.
std::map<std::string, std::string> parseAuthParams(const std::string& text)
{
    std::map<std::string, std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() &&
               (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ','))
            ++i;
        std::size_t nameStart = i;
        while (i < text.size() && text[i] != '=' && text[i] != ',')
            ++i;
        std::string name = toLower(trim(text.substr(nameStart, i - nameStart)));
        if (i >= text.size() || text[i] != '=') {
            continue;
        }
        ++i;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::string value;
        if (i < text.size() && text[i] == '"') {
            ++i;
            while (i < text.size() && text[i] != '"') {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                value.push_back(text[i]);
                ++i;
            }
            if (i < text.size())
                ++i;
        } else {
            std::size_t start = i;
            while (i < text.size() && text[i] != ',')
                ++i;
            value = trim(text.substr(start, i - start));
        }
        if (!name.empty())
            out[name] = value;
    }
    return out;
}

} // namespace

bool CHttpAuth::parseMode(const std::string& text, EAuthMode* mode)
{
    const std::string lower = toLower(text);
    if (lower == "basic")
        *mode = EAuthMode::Basic;
    else if (lower == "digest")
        *mode = EAuthMode::Digest;
    else
        return false;
    return true;
}

std::string CHttpAuth::makeNonce()
{
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    const std::string stamp = std::to_string(now) + randomHex(4);
    return stamp + md5Hex(processSecret() + stamp).substr(0, 16);
}

bool CHttpAuth::nonceIsOurs(const std::string& nonce)
{
    if (nonce.size() <= 16)
        return false;
    const std::string stamp = nonce.substr(0, nonce.size() - 16);
    return md5Hex(processSecret() + stamp).substr(0, 16) == nonce.substr(nonce.size() - 16);
}

std::string CHttpAuth::challenge(EAuthMode mode, const std::string& realm)
{
    if (mode == EAuthMode::Basic)
        return "Basic realm=\"" + realm + "\"";
    return "Digest realm=\"" + realm + "\", nonce=\"" + makeNonce() +
           "\", qop=\"auth\", algorithm=MD5";
}

bool CHttpAuth::check(const SHttpRequest& request, EAuthMode mode, const std::string& realm,
                      const std::string& user, const std::string& password)
{
    const std::string header = trim(request.header("authorization"));
    const auto space = header.find(' ');
    if (space == std::string::npos)
        return false;
    const std::string scheme = toLower(header.substr(0, space));
    const std::string rest = trim(header.substr(space + 1));
    if (mode == EAuthMode::Basic)
        return scheme == "basic" && checkBasic(rest, user, password);
    return scheme == "digest" && checkDigest(request, rest, realm, user, password);
}

bool CHttpAuth::checkBasic(const std::string& credentials, const std::string& user,
                           const std::string& password)
{
    const std::string decoded = base64Decode(credentials);
    const auto colon = decoded.find(':');
    if (colon == std::string::npos)
        return false;
    return decoded.substr(0, colon) == user && decoded.substr(colon + 1) == password;
}

bool CHttpAuth::checkDigest(const SHttpRequest& request, const std::string& params,
                            const std::string& realm, const std::string& user,
                            const std::string& password)
{
    const auto p = parseAuthParams(params);
    auto get = [&p](const char* key) {
        const auto it = p.find(key);
        return it == p.end() ? std::string() : it->second;
    };
    if (get("username") != user || get("realm") != realm || !nonceIsOurs(get("nonce")))
        return false;
    const std::string algorithm = toLower(get("algorithm"));
    if (!algorithm.empty() && algorithm != "md5")
        return false;
    // The digest covers the request target the client sent; it must be this request's.
    if (get("uri") != request.uri)
        return false;
    const std::string ha1 = md5Hex(user + ":" + realm + ":" + password);
    const std::string ha2 = md5Hex(request.method + ":" + get("uri"));
    const std::string qop = get("qop");
    std::string expected;
    if (qop.empty())
        expected = md5Hex(ha1 + ":" + get("nonce") + ":" + ha2);
    else if (qop == "auth")
        expected = md5Hex(ha1 + ":" + get("nonce") + ":" + get("nc") + ":" + get("cnonce") + ":" +
                          qop + ":" + ha2);
    else
        return false;
    return toLower(get("response")) == expected;
}

} // namespace devsim
