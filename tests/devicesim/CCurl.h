#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

// curl as an independent HTTP client for the simulator's tests.
class CCurl
{
public:
    struct SResult
    {
        int exitCode = -1;  // curl's own exit code (0 success, 7 refused, 28 time-out, ...)
        int status = 0;     // HTTP status of the last response (0: none)
        QByteArray headers; // raw headers of the last response
        QByteArray body;
        QByteArray header(const QByteArray& name) const; // first match, case-insensitive
    };

    // Runs curl with the arguments (the URL among them); adds -s, -k and the header capture.
    static SResult run(const QStringList& arguments, int timeoutMs = 30000);
    static SResult get(const QString& url, const QString& user = QString(),
                       const QString& password = QString(), const QString& auth = "digest");
};
