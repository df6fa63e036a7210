// Measures the two heavy operations of batch setup on a pack that offers every known setting:
// ApplyCurrentValues over all entries of eight channels with a full parameter map, and
// BuildSetRequests for a fleet of cameras of mixed models. Prints the median of several runs.
//
// Usage: bench_setupcontent [cameras=1000] [runs=5]
#include "CSetupContentManager.h"
#include "SetupContentUids.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QStringList kModels{"QD8182", "QB9365", "QF8360", "QZ9185", "QX0000"};

// A parameter name per UID, in the camera's channel-0 spelling.
QString parameterOf(const QString& uid)
{
    QString name = uid.mid(4);
    return "videoin_c0_" + name;
}

// Three fixed options and a free input for every UID; each model table overrides a tenth.
bool writePack(const QString& dir)
{
    QDir().mkpath(dir + "/csv");
    auto write = [&](const QString& table, int every, const QString& tag) {
        QFile file(dir + "/csv/" + table + ".csv");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        QTextStream out(&file);
        out << "Version=1.0.0\nUID,Read,Write,Option,Parameters\n";
        int i = 0;
        for (const QString& uid : AllUids()) {
            if (i++ % every != 0)
                continue;
            const QString p = parameterOf(uid);
            out << uid << ",/cgi-bin/admin/getparam.cgi,/cgi-bin/admin/setparam.cgi";
            for (const char* v : {"0", "1", "2"})
                out << ',' << v << ',' << p << '=' << v << tag << '&' << p << "_mode=" << v;
            out << ",%s," << p << "=%s\n";
        }
        return true;
    };
    if (!write("base", 1, QString()))
        return false;
    for (const QString& model : kModels.mid(0, 4)) {
        if (!write(model, 10, "m"))
            return false;
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int cameras = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    qSetMessagePattern(QString()); // the warnings of unmatched values are not what is measured
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QTemporaryDir dir;
    if (!dir.isValid() || !writePack(dir.path())) {
        std::fprintf(stderr, "cannot write the pack\n");
        return 1;
    }
    CSetupContentManager manager(nullptr);
    if (!manager.Init(dir.path(), dir.filePath("none")))
        return 1;
    manager.SetNumChannel(8);
    manager.LoadModel("QD8182");

    // A full parameter map: every option's parameters on every channel, and eight channels.
    CSetupContentManager::ParamValues values;
    for (const QString& uid : AllUids()) {
        for (int c = 0; c < 8; ++c) {
            const QString p = parameterOf(uid).replace("_c0_", QStringLiteral("_c%1_").arg(c));
            values.insert(p, "1");
            values.insert(p + "_mode", "1");
        }
    }
    values.insert("videoin_c0_channel_num", "8");
    values.remove("videoin_c0_channel_num_mode");

    std::vector<double> apply;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        manager.ApplyCurrentValues(values);
        apply.push_back(t.nsecsElapsed() / 1e6);
    }

    std::printf("entries: %d, channels: %d, parameter map: %d names\n", manager.Entries().size(),
                manager.NumChannel(), values.size());
    std::printf("ApplyCurrentValues: %.1f ms (median of %d; aim < 50 ms)\n", median(apply), runs);

    // Two apply lists: every setting of channel 0 (a single-channel camera), and every entry of
    // all eight channels (the worst case).
    QVector<CSetupContentManager::UidChannel> channel0;
    QVector<CSetupContentManager::UidChannel> all;
    for (const UISetEntry& entry : manager.Entries()) {
        all.append({entry.uid, entry.channel});
        if (entry.channel == 0)
            channel0.append({entry.uid, entry.channel});
    }
    // Each run starts from a changed choice, as after the user's edits, so nothing built before
    // is reused. "distinct models" gives every camera a model of its own (base table only), so
    // every camera is built afresh.
    COptionList* touched = manager.GetContent("uid_system_hostname", 0).set.get();
    struct Case
    {
        const char* name;
        const QVector<CSetupContentManager::UidChannel>* items;
        bool distinctModels;
    };
    for (const Case& c : {Case{"mixed models", &channel0, false}, Case{"mixed models", &all, false},
                          Case{"distinct models", &channel0, true}}) {
        const auto* items = c.items;
        std::vector<double> build;
        qint64 strings = 0;
        for (int r = 0; r < runs; ++r) {
            touched->setCurrentOpt(QStringLiteral("run%1").arg(r));
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < cameras; ++i) {
                const QString model =
                    c.distinctModels ? QStringLiteral("QY%1").arg(i) : kModels[i % kModels.size()];
                const auto requests = manager.BuildSetRequests(model, *items);
                strings += requests.value("/cgi-bin/admin/setparam.cgi").size();
            }
            build.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("BuildSetRequests, %d cameras, %s, %d settings each: %.1f ms "
                    "(median of %d; aim < 1000 ms); %lld parameter strings per run\n",
                    cameras, c.name, int(items->size()), median(build), runs,
                    static_cast<long long>(strings / runs));
    }
    return 0;
}
