#include "ZapkUploadRefusal.h"

bool isZapkUploadRefusal(const QByteArray& body)
{
    // An accepting device answers with an empty body or "OK..."; every refusal we know starts
    // with "ERROR" or names the failed step somewhere in a longer page.
    const QByteArray text = body.trimmed().toLower();
    if (text.startsWith("error"))
        return true;
    static const char* const kTexts[] = {"install package failed", "upload package failed",
                                         "upload license failed",  "upload licence failed",
                                         "invalid license",        "invalid package"};
    for (const char* known : kTexts) {
        if (text.contains(known))
            return true;
    }
    return false;
}
