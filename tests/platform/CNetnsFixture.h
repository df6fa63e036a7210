#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Interfaces for tests that run inside the private network namespace made by run-in-netns.sh.
// Every change goes through iproute2, an implementation independent of the code under test, and
// is refused outside that namespace so that a test run by hand can never touch real interfaces.
class CNetnsFixture
{
public:
    // True when this process runs in the namespace that run-in-netns.sh announced.
    static bool insideTestNamespace()
    {
        const QString expected = qEnvironmentVariable("ARDMERE_TEST_NETNS");
        if (expected.isEmpty())
            return false;
        QProcess identify;
        identify.start(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("identify")});
        if (!identify.waitForFinished(10000))
            return false;
        return QString::fromLocal8Bit(identify.readAllStandardOutput()).trimmed() == expected;
    }

    // Runs "ip ARGUMENTS"; true when it succeeded. The output goes to *output when asked for.
    static bool ip(const QStringList& arguments, QString* output = nullptr)
    {
        if (!insideTestNamespaceCached())
            return false;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("ip"), arguments);
        if (!process.waitForFinished(10000))
            return false;
        if (output)
            *output = QString::fromLocal8Bit(process.readAll());
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    static bool ip(const QString& command, QString* output = nullptr)
    {
        return ip(command.split(QLatin1Char(' '), Qt::SkipEmptyParts), output);
    }

    // A veth pair NAME/NAMEp, both up; the peer never gets an IPv4 address.
    static bool addVeth(const QString& name)
    {
        return ip(QStringLiteral("link add %1 type veth peer name %1p").arg(name)) &&
               ip(QStringLiteral("link set %1 up").arg(name)) &&
               ip(QStringLiteral("link set %1p up").arg(name));
    }

    static void removeLink(const QString& name) { ip(QStringLiteral("link delete %1").arg(name)); }

    static int interfaceIndex(const QString& name)
    {
        QString output;
        if (!ip(QStringLiteral("-o link show dev %1").arg(name), &output))
            return 0;
        return output.section(QLatin1Char(':'), 0, 0).trimmed().toInt();
    }

    // The IPv4 addresses of an interface as "address/prefix", in the kernel's order.
    static QStringList addresses(const QString& name)
    {
        QString output;
        ip(QStringLiteral("-o -4 addr show dev %1").arg(name), &output);
        QStringList found;
        for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList words = line.simplified().split(QLatin1Char(' '));
            const int at = words.indexOf(QStringLiteral("inet"));
            if (at >= 0 && at + 1 < words.size())
                found << words.at(at + 1);
        }
        return found;
    }

    // The neighbour entries of an interface, one "ip neigh" line each, trimmed.
    static QStringList neighbours(const QString& name)
    {
        QString output;
        ip(QStringLiteral("-4 neigh show dev %1").arg(name), &output);
        QStringList lines;
        for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            lines << line.trimmed();
        return lines;
    }

private:
    static bool insideTestNamespaceCached()
    {
        static const bool inside = insideTestNamespace();
        return inside;
    }
};
