#include "UploadRefusal.h"

bool isUploadRefusal(const QByteArray& body)
{
    // An accepting device answers with an empty body, "OK..." or a page of its own; every refusal
    // we know begins with "ERROR" or names the failed upgrade somewhere in a longer page.
    const QByteArray text = body.trimmed().toLower();
    if (text.startsWith("error"))
        return true;
    static const char* const kTexts[] = {"upgrade firmware failed", "upload event script failed",
                                         "upgrade failed", "firmware upgrade failed"};
    for (const char* known : kTexts) {
        if (text.contains(known))
            return true;
    }
    return false;
}
