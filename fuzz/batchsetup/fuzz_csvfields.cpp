// Splits arbitrary text into CSV fields line by line and checks what must hold for any input.
#include "CCsvParser.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = CCsvParser::SplitFields(line);
        const QStringList parts = line.split(QLatin1Char(','));
        // Quotes only ever join parts, and every field comes from the line.
        if (fields.isEmpty() || fields.size() > parts.size())
            std::abort();
        int length = 0;
        for (const QString& field : fields)
            length += field.size();
        if (length > line.size())
            std::abort();
        // Without quotes the split is the plain one.
        if (!line.contains(QLatin1Char('"')) && fields != parts)
            std::abort();
    }
    return 0;
}
