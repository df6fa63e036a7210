// Reads arbitrary bytes as a batch-setup template file. A small pack with a model table is
// installed once; the manager is renewed now and then so that entries created by odd lines do
// not pile up across inputs.
#include "CSetupContentManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Memory-backed where there is such a place: every input is written to a file.
std::unique_ptr<QTemporaryDir> scratchDir()
{
    if (QDir(QStringLiteral("/dev/shm")).exists())
        return std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/fuzz_templateXXXXXX"));
    return std::make_unique<QTemporaryDir>();
}

struct Fixture
{
    std::unique_ptr<QTemporaryDir> scratch = scratchDir();
    QTemporaryDir& dir = *scratch;
    QString templatePath;
    std::unique_ptr<CSetupContentManager> manager;
    int uses = 0;

    Fixture()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QDir().mkpath(dir.filePath("csv"));
        write("csv/base.csv", "Version=1\nh\n"
                              "uid_system_hostname,/g,/s,%s,system_hostname=%s\n"
                              "uid_color,/g,/s,1,videoin_c0_color=1,0,videoin_c0_color=0\n"
                              "uid_s1_video_codec,/g,/s,h264,videoin_c0_s1_codectype=h264\n");
        write("csv/QD8182.csv", "Version=1\nh\nuid_system_ledoff,/g,/s,1,led=1,0,led=0\n");
        templatePath = dir.filePath("template.csv");
        renew();
    }
    void write(const QString& name, const QByteArray& content)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            std::abort();
    }
    void renew()
    {
        manager = std::make_unique<CSetupContentManager>(nullptr);
        if (!manager->Init(dir.path(), dir.filePath("none")))
            std::abort();
        // Two channels keep the duplicated per-channel entries in play at a fraction of the cost
        // of eight.
        manager->SetNumChannel(2);
        uses = 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_templatefile";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Fixture fixture;

    if (++fixture.uses > 2000)
        fixture.renew();
    QFile file(fixture.templatePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    CSetupContentManager& manager = *fixture.manager;
    const int before = manager.Entries().size();
    if (manager.ReadFromFile(fixture.templatePath)) {
        // What was read can be written and read again (now and then: it costs two full passes).
        if (fixture.uses % 64 == 0 && (!manager.WriteToFile(fixture.templatePath) ||
                                       !manager.ReadFromFile(fixture.templatePath)))
            std::abort();
        manager.BuildSetRequests(QStringLiteral("QD8182"),
                                 {{QStringLiteral("uid_system_hostname"), 0},
                                  {QStringLiteral("uid_color"), 1},
                                  {QStringLiteral("uid_di2_normal_state"), 0}});
    } else if (manager.Entries().size() != before) {
        std::abort(); // a rejected file changes nothing
    }
    return 0;
}
