#pragma once

#include "HttpTypes.h"

#include <string>

namespace devsim {

enum class EAuthMode
{
    Basic,
    Digest
};

// HTTP authentication of a device (RFC 7617 Basic, RFC 7616 Digest with MD5 and qop=auth).
// Nonces are stateless: a time stamp signed with a per-process secret, so any nonce this process
// handed out is accepted by every device and a forged one is not.
class CHttpAuth
{
public:
    static bool check(const SHttpRequest& request, EAuthMode mode, const std::string& realm,
                      const std::string& user, const std::string& password);
    static std::string challenge(EAuthMode mode, const std::string& realm);

    static bool parseMode(const std::string& text, EAuthMode* mode);
    static std::string modeName(EAuthMode mode)
    {
        return mode == EAuthMode::Basic ? "basic" : "digest";
    }

private:
    static bool checkBasic(const std::string& credentials, const std::string& user,
                           const std::string& password);
    static bool checkDigest(const SHttpRequest& request, const std::string& params,
                            const std::string& realm, const std::string& user,
                            const std::string& password);
    static std::string makeNonce();
    static bool nonceIsOurs(const std::string& nonce);
};

} // namespace devsim
