#include "CCustomizeCheckingOptionList.h"
#include "CSetupContentManager.h"
#include "CTimeZoneOptionList.h"
#include "PackFixture.h"
#include "SetupContentUids.h"

#include <QTemporaryDir>
#include <QtTest>

using Requests = QMap<QString, QStringList>;
using Values = CSetupContentManager::ParamValues;
using Items = QVector<CSetupContentManager::UidChannel>;
Q_DECLARE_METATYPE(Requests)
Q_DECLARE_METATYPE(Values)

namespace {

const QString kSet = QStringLiteral("/cgi-bin/admin/setparam.cgi");
const QString kGet = QStringLiteral("/cgi-bin/admin/getparam.cgi");

QByteArray table(const QByteArray& rows)
{
    return "Version=1.0.0\nUID,Read,Write,Value,Param\n" + rows;
}

// A pack directory in the unpacked layout, built from table rows. Rows name the standard paths
// as "G" and "S".
class PackDir
{
public:
    explicit PackDir(const QByteArray& baseRows, const QMap<QString, QByteArray>& models = {})
    {
        write("base.csv", baseRows);
        for (auto it = models.cbegin(); it != models.cend(); ++it)
            write(it.key() + ".csv", it.value());
    }
    QString path() const { return m_dir.path(); }
    QString customizeDir() const { return m_dir.filePath("no-customize"); }

private:
    void write(const QString& name, QByteArray rows)
    {
        rows.replace(",G,S,", ",/cgi-bin/admin/getparam.cgi,/cgi-bin/admin/setparam.cgi,");
        QVERIFY(PackFixture::writeFile(m_dir.filePath("csv/" + name), table(rows)));
    }
    QTemporaryDir m_dir;
};

void setCurrent(CSetupContentManager& manager, const QString& uid, int channel, const QString& v)
{
    const UISetEntry entry = manager.GetContent(uid, channel);
    QVERIFY2(entry.set, qPrintable(uid));
    entry.set->setCurrentOpt(v);
}

QString current(const CSetupContentManager& manager, const QString& uid, int channel)
{
    const UISetEntry entry = manager.GetContent(uid, channel);
    return entry.set ? entry.set->currentOpt() : QStringLiteral("<no entry>");
}

} // namespace

class TestSetupContentManager : public QObject
{
    Q_OBJECT

private slots:
    void uidTables();
    void channelAllocation();
    void paramStrings_data();
    void paramStrings();
    void extraContent_data();
    void extraContent();
    void buildForMixedModels();
    void matching_data();
    void matching();
    void channelCount_data();
    void channelCount();
    void applyCurrentValues();
    void digitalInputsAndOutputs();
    void readRequests();
    void optionListLookup();
    void refreshOnModelChange();
    void templateRoundTrip();
    void templateBadLines();
    void templateRejects_data();
    void templateRejects();
};

void TestSetupContentManager::uidTables()
{
    QCOMPARE(AllUids().size(), 356);
    QCOMPARE(ChannelUids().size(), 289);
    QCOMPARE(RestartUids().size(), 71);
    QCOMPARE(AllUids().first(), QString("uid_system_hostname"));
    QCOMPARE(AllUids().last(), QString("uid_max_exposure_time_profile"));
    QCOMPARE(AllUids().indexOf("uid_channel_num"), 351);
    QCOMPARE(AllUids().at(AllUids().indexOf("uid_s3_video_codec") + 50),
             QString("uid_s3_svc_constant_bitrate_policy"));
    QCOMPARE(QSet<QString>(AllUids().cbegin(), AllUids().cend()).size(), 356);

    // Three stream codecs occur twice in the per-channel list and nothing else does.
    QStringList twice;
    for (const QString& uid : ChannelUids()) {
        if (ChannelUids().count(uid) > 1 && !twice.contains(uid))
            twice << uid;
    }
    QCOMPARE(twice,
             (QStringList{"uid_s1_video_codec", "uid_s2_video_codec", "uid_s3_video_codec"}));
    QCOMPARE(ChannelUids().first(), QString("uid_network_http_s0_access_name"));
    QCOMPARE(ChannelUids().last(), QString("uid_ir_cut_disable_ir_led"));
    for (const QString& uid : ChannelUids())
        QVERIFY2(AllUids().contains(uid), qPrintable(uid));

    QCOMPARE(RestartUids().first(), QString("uid_root_password"));
    QCOMPARE(RestartUids().at(2), QString("uid_upnp_presentation_enable"));
    QCOMPARE(RestartUids().last(), QString("uid_snmp_v3_readwrite_encrypt_password"));
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.IsRestartUid("uid_network_http_port"));
    QVERIFY(manager.IsRestartUid("uid_https_only"));
    QVERIFY(!manager.IsRestartUid("uid_https_enable"));
    QVERIFY(!manager.IsRestartUid("uid_s0_h264_max_frame_rate"));
}

void TestSetupContentManager::channelAllocation()
{
    QObject parent;
    auto* manager = new CSetupContentManager(&parent);
    QCOMPARE(manager->Entries().size(), 356);
    QVERIFY(qobject_cast<CTimeZoneOptionList*>(
        manager->GetContent("uid_system_timezoneindex", 0).set.get()));
    QVERIFY(qobject_cast<CCustomizeCheckingOptionList*>(
        manager->GetContent("uid_s2_mpeg4_max_frame_rate", 0).set.get()));
    QCOMPARE(manager->GetContent("uid_color", 0).set->parent(), manager);

    QTest::ignoreMessage(QtDebugMsg,
                         "CSetupContentManager::SetNumChannel error: invalid channel number :0");
    manager->SetNumChannel(0);
    QCOMPARE(manager->NumChannel(), 1);
    manager->SetNumChannel(8);
    QCOMPARE(manager->Entries().size(), 356 + 7 * 289);
    QCOMPARE(manager->NumChannel(), 8);
    manager->SetNumChannel(3); // fewer channels keep their entries
    QCOMPARE(manager->Entries().size(), 356 + 7 * 289);
    QCOMPARE(manager->NumChannel(), 3);
    QVERIFY(manager->GetContent("uid_color", 7).set);
    QTest::ignoreMessage(QtDebugMsg, "CSetupContentManager::GetContent WARNING: UID-channel pair "
                                     "<uid_system_hostname,1> cannot be found.");
    QVERIFY(!manager->GetContent("uid_system_hostname", 1).set);
}

void TestSetupContentManager::paramStrings_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Requests>("expected");

    const QByteArray hostname = "uid_system_hostname,G,S,%s,system_hostname=%s\n";
    QTest::newRow("free input") << hostname << "uid_system_hostname" << 0 << "cam01"
                                << Requests{{kSet, {"system_hostname=cam01"}}};
    QTest::newRow("free input is percent-encoded")
        << hostname << "uid_system_hostname" << 0 << "a&b=c%d+e f"
        << Requests{{kSet, {"system_hostname=a%26b%3Dc%25d%2Be%20f"}}};
    QTest::newRow("root password")
        << QByteArray("uid_root_password,G,S,%s,security_user_i0_pass=%s\n") << "uid_root_password"
        << 0 << "p&ss=w%rd!" << Requests{{kSet, {"security_user_i0_pass=p%26ss%3Dw%25rd%21"}}};
    const QByteArray led = "uid_system_ledoff,G,S,1,led=1&x=1,0,led=0&x=0\n";
    QTest::newRow("fixed option") << led << "uid_system_ledoff" << 0 << "1"
                                  << Requests{{kSet, {"led=1&x=1"}}};
    QTest::newRow("fixed option, second")
        << led << "uid_system_ledoff" << 0 << "0" << Requests{{kSet, {"led=0&x=0"}}};
    QTest::newRow("no matching option") << led << "uid_system_ledoff" << 0 << "2" << Requests{};
    QTest::newRow("no options") << QByteArray("uid_system_ledoff,G,S\n") << "uid_system_ledoff" << 0
                                << "1" << Requests{};
    QTest::newRow("no write path") << QByteArray("uid_system_ledoff,G,,1,led=1\n")
                                   << "uid_system_ledoff" << 0 << "1" << Requests{};
    QTest::newRow("other write path")
        << QByteArray("uid_system_ledoff,G,/cgi-bin/admin/other.cgi,1,led=1\n")
        << "uid_system_ledoff" << 0 << "1" << Requests{{"/cgi-bin/admin/other.cgi", {"led=1"}}};
    const QByteArray color = "uid_color,G,S,1,videoin_c0_color=1&videoin_c0_x=1\n";
    QTest::newRow("channel rewrite") << color << "uid_color" << 2 << "1"
                                     << Requests{{kSet, {"videoin_c2_color=1&videoin_c2_x=1"}}};
    QTest::newRow("channel 0 unchanged") << color << "uid_color" << 0 << "1"
                                         << Requests{{kSet, {"videoin_c0_color=1&videoin_c0_x=1"}}};
    QTest::newRow("no rewrite outside the channel list")
        << QByteArray("uid_system_ledoff,G,S,1,videoin_c0_x=1\n") << "uid_system_ledoff" << 2 << "1"
        << Requests{{kSet, {"videoin_c0_x=1"}}};
    QTest::newRow("digital input ignores the pack")
        << QByteArray("uid_di0_normal_state,G,/elsewhere.cgi,high,wrong=1\n")
        << "uid_di0_normal_state" << 0 << "high" << Requests{{kSet, {"di_i0_normalstate=high"}}};
    QTest::newRow("digital output without pack row")
        << QByteArray() << "uid_do3_normal_state" << 0 << "grounded"
        << Requests{{kSet, {"do_i3_normalstate=grounded"}}};
    QTest::newRow("https adds the method")
        << QByteArray("uid_https_enable,G,S,1,https_enable=1,0,https_enable=0\n")
        << "uid_https_enable" << 0 << "1" << Requests{{kSet, {"https_enable=1&https_method=auto"}}};
    QTest::newRow("https off adds nothing")
        << QByteArray("uid_https_enable,G,S,1,https_enable=1,0,https_enable=0\n")
        << "uid_https_enable" << 0 << "0" << Requests{{kSet, {"https_enable=0"}}};
}

void TestSetupContentManager::paramStrings()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, uid);
    QFETCH(int, channel);
    QFETCH(QString, value);
    QFETCH(Requests, expected);

    PackDir pack(rows);
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    if (!manager.GetContent(uid, channel).set) {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("was not in the pre-defined list"));
        QVERIFY(manager.GetOptionListPtr(uid, channel));
    }
    setCurrent(manager, uid, channel, value);
    if (expected.isEmpty() && rows.contains(",1,") && value == "2")
        QTest::ignoreMessage(QtDebugMsg, qPrintable("UID " + uid +
                                                    " with currentOption 2 cannot "
                                                    "match any option in base in device pack"));
    QCOMPARE(manager.BuildSetRequests("QD8182", {{uid, channel}}), expected);
}

void TestSetupContentManager::extraContent_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("model"); // target camera model (a table of that name holds rows)
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // the setparam body, empty if nothing is sent

    const QByteArray motion =
        "uid_motion_enable,G,S,1,motion_c0_enable=1,0,motion_c0_enable=0\n"
        "uid_motion0_enable,G,S,1,motion_c0_win_i0_enable=1,0,motion_c0_win_i0_enable=0\n";
    const QByteArray window = "uid_motion0_x,G,S,%s,motion_c0_win_i0_left=%s\n"
                              "uid_motion0_y,G,S,%s,motion_c0_win_i0_top=%s\n"
                              "uid_motion0_width,G,S,%s,motion_c0_win_i0_width=%s\n"
                              "uid_motion0_height,G,S,%s,motion_c0_win_i0_height=%s\n";
    QTest::newRow("motion window")
        << motion + window << "QD8182"
        << "uid_motion_enable" << 0 << "1"
        << "motion_c0_enable=1&motion_c0_win_i0_enable=1&motion_c0_win_i0_left=0&"
           "motion_c0_win_i0_top=0&motion_c0_win_i0_width=320&motion_c0_win_i0_height=240";
    QTest::newRow("motion window on channel 1")
        << motion + window << "QD8182"
        << "uid_motion_enable" << 1 << "1"
        << "motion_c1_enable=1&motion_c1_win_i0_enable=1&motion_c1_win_i0_left=0&"
           "motion_c1_win_i0_top=0&motion_c1_win_i0_width=320&motion_c1_win_i0_height=240";
    QTest::newRow("motion off adds nothing") << motion + window << "QD8182"
                                             << "uid_motion_enable" << 0 << "0"
                                             << "motion_c0_enable=0";
    QTest::newRow("motion rectangle") << motion + "uid_motion0_rectangle,G,S,%s,r=%s\n"
                                      << "QD8182"
                                      << "uid_motion_enable" << 0 << "1"
                                      << "motion_c0_enable=1&motion_c0_win_i0_enable=1&motion_c0_"
                                         "win_i0_rectanglestd=0,0,9999,9999";
    QTest::newRow("motion rectangle by model") << motion << "TB5170"
                                               << "uid_motion_enable" << 0 << "1"
                                               << "motion_c0_enable=1&motion_c0_win_i0_enable=1&"
                                                  "motion_c0_win_i0_rectanglestd=0,0,9999,9999";
    QTest::newRow("motion polygon")
        << motion + "uid_motion0_polygon,G,S,%s,motion_c0_win_i0_polygon=%s\n"
        << "QD8182"
        << "uid_motion_enable" << 0 << "1"
        << "motion_c0_enable=1&motion_c0_win_i0_enable=1&"
           "motion_c0_win_i0_polygon=0%2C0%2C0%2C240%2C320%2C240%2C320%2C0";
    QTest::newRow("motion standard polygon")
        << motion + "uid_motion0_polygon,G,S,%s,motion_c0_win_i0_polygonstd=%s\n"
        << "QD8182"
        << "uid_motion_enable" << 0 << "1"
        << "motion_c0_enable=1&motion_c0_win_i0_enable=1&"
           "motion_c0_win_i0_polygonstd=0%2C0%2C0%2C9999%2C9999%2C9999%2C9999%2C0";

    const QByteArray ir = "uid_ir_cut_sensitivity,G,S,%s,ircut_c0_sensitivity=%s\n"
                          "uid_sony_zoom_module,G,,true,zoom=1\n";
    for (auto [n, g] : {std::pair{"6", "1"}, {"7", "2"}, {"9", "3"}, {"10", "3"}, {"0", "-2"}}) {
        QTest::addRow("IR gain %s", n)
            << ir << "QD8182"
            << "uid_ir_cut_sensitivity" << 0 << n
            << QString("ircut_c0_sensitivity=%1&videoin_c0_agc=%2").arg(n, g);
    }
    QTest::newRow("IR gain on channel 3") << ir << "QD8182"
                                          << "uid_ir_cut_sensitivity" << 3 << "9"
                                          << "ircut_c3_sensitivity=9&videoin_c3_agc=3";
    QTest::newRow("IR gain needs a number") << ir << "QD8182"
                                            << "uid_ir_cut_sensitivity" << 0 << "high"
                                            << "ircut_c0_sensitivity=high";
    QTest::newRow("IR gain needs a zoom module")
        << QByteArray("uid_ir_cut_sensitivity,G,S,%s,ircut_c0_sensitivity=%s\n"
                      "uid_sony_zoom_module,G,,false,zoom=0\n")
        << "QD8182"
        << "uid_ir_cut_sensitivity" << 0 << "9"
        << "ircut_c0_sensitivity=9";

    const QByteArray freq =
        "uid_freq,G,S,50,videoin_c0_freq=50,60,videoin_c0_freq=60\n"
        "uid_max_exposure_time,G,S,1/30,videoin_c0_maxexposure=30,1/25,videoin_c0_maxexposure=25\n"
        "uid_max_exposure_time_profile,G,S,1/25,videoin_c0_profile_i0_maxexposure=25\n";
    QTest::newRow("50 Hz") << freq << "QD8182"
                           << "uid_freq" << 0 << "50"
                           << "videoin_c0_freq=50&videoin_c0_maxexposure=25&"
                              "videoin_c0_profile_i0_maxexposure=25";
    QTest::newRow("60 Hz, profile without 1/30") << freq << "QD8182"
                                                 << "uid_freq" << 0 << "60"
                                                 << "videoin_c0_freq=60&videoin_c0_maxexposure=30";
    QTest::newRow("50 Hz on channel 2") << freq << "QD8182"
                                        << "uid_freq" << 2 << "50"
                                        << "videoin_c2_freq=50&videoin_c2_maxexposure=25&"
                                           "videoin_c2_profile_i0_maxexposure=25";
}

void TestSetupContentManager::extraContent()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, model);
    QFETCH(QString, uid);
    QFETCH(int, channel);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    PackDir pack("uid_other,G,S,1,o=1\n", {{model.left(6), rows}});
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    setCurrent(manager, uid, channel, value);
    const Requests requests = manager.BuildSetRequests(model, {{uid, channel}});
    QCOMPARE(requests.value(kSet).join('|'), expected);
}

void TestSetupContentManager::buildForMixedModels()
{
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n"
                 "uid_color,G,S,1,videoin_c0_color=1,0,videoin_c0_color=0\n"
                 "uid_network_http_port,G,S,%s,network_http_port=%s\n",
                 {{"QD8182", "uid_color,G,S,1,image_c0_color=1,0,image_c0_color=0\n"},
                  {"QB9365", "uid_color,G,/cgi-bin/admin/image.cgi,1,bw=0,0,bw=1\n"}});
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    QVERIFY(manager.LoadModel("QD8182"));
    setCurrent(manager, "uid_system_hostname", 0, "lobby");
    setCurrent(manager, "uid_color", 0, "0");
    setCurrent(manager, "uid_network_http_port", 0, "8080");
    const Items items{{"uid_network_http_port", 0}, {"uid_system_hostname", 0}, {"uid_color", 0}};

    QCOMPARE(manager.BuildSetRequests("QD8182-ABC", items),
             (Requests{
                 {kSet, {"network_http_port=8080", "system_hostname=lobby", "image_c0_color=0"}}}));
    QCOMPARE(manager.BuildSetRequests("QB9365", items),
             (Requests{{"/cgi-bin/admin/image.cgi", {"bw=1"}},
                       {kSet, {"network_http_port=8080", "system_hostname=lobby"}}}));
    QTest::ignoreMessage(QtDebugMsg, "CDevicePack::LoadModel: Cannot find model csv file: QZ9185");
    QCOMPARE(
        manager.BuildSetRequests("QZ9185", items),
        (Requests{
            {kSet, {"network_http_port=8080", "system_hostname=lobby", "videoin_c0_color=0"}}}));
    // A changed choice is seen by the next camera of a model already built.
    setCurrent(manager, "uid_system_hostname", 0, "gate");
    QCOMPARE(manager.BuildSetRequests("QD8182-ABC", items).value(kSet).at(1),
             QString("system_hostname=gate"));
    QCOMPARE(manager.BuildSetRequests("QD8182-ABC", items.mid(2)),
             (Requests{{kSet, {"image_c0_color=0"}}}));
    // The template's table is still loaded.
    QCOMPARE(manager.CurrentModel(), QString("QD8182"));
    QCOMPARE(manager.BuildSetRequests("QD8182", {}), Requests{});
}

void TestSetupContentManager::matching_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("channel");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("expected"); // "<null>" for no match

    const QByteArray quality = "uid_s0_h264_video_quality,G,S,cbr,m=0,%s,m=1&r=%s\n";
    QTest::newRow("fixed option wins")
        << quality << "uid_s0_h264_video_quality" << 0 << Values{{"m", "0"}, {"r", "9"}} << "cbr";
    QTest::newRow("free input value")
        << quality << "uid_s0_h264_video_quality" << 0 << Values{{"m", "1"}, {"r", "512"}} << "512";
    QTest::newRow("free input, name missing reads empty")
        << quality << "uid_s0_h264_video_quality" << 0 << Values{{"m", "1"}} << "";
    QTest::newRow("nothing matches")
        << quality << "uid_s0_h264_video_quality" << 0 << Values{{"m", "2"}} << "<null>";
    QTest::newRow("all pairs must match")
        << QByteArray("uid_color,G,S,1,a=1&b=1,0,a=1&b=0\n") << "uid_color" << 0
        << Values{{"a", "1"}, {"b", "0"}} << "0";
    QTest::newRow("piece without = is ignored") << QByteArray("uid_color,G,S,1,flag&a=1\n")
                                                << "uid_color" << 0 << Values{{"a", "1"}} << "1";
    QTest::newRow("first free-input pair is read")
        << QByteArray("uid_system_hostname,G,S,%s,x=%s&y=%s\n") << "uid_system_hostname" << 0
        << Values{{"x", "first"}, {"y", "second"}} << "first";
    QTest::newRow("channel rewrite when matching")
        << QByteArray("uid_color,G,S,1,videoin_c0_color=1,0,videoin_c0_color=0\n") << "uid_color"
        << 2 << Values{{"videoin_c0_color", "1"}, {"videoin_c2_color", "0"}} << "0";
    QTest::newRow("channel at or above the count")
        << QByteArray("uid_color,G,S,1,videoin_c0_color=1\n") << "uid_color" << 5
        << Values{{"videoin_c5_color", "1"}} << "<null>";
    QTest::newRow("no options") << QByteArray("uid_color,G,S\n") << "uid_color" << 0 << Values{}
                                << "<null>";
}

void TestSetupContentManager::matching()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, uid);
    QFETCH(int, channel);
    QFETCH(Values, values);
    QFETCH(QString, expected);

    PackDir pack(rows);
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    manager.SetNumChannel(4);
    const QString result = manager.MatchedCurrentOption(manager.GetContent(uid, channel), values);
    QCOMPARE(result.isNull() ? QString("<null>") : result, expected);
}

void TestSetupContentManager::channelCount_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<int>("expected");
    QTest::newRow("four") << "4" << 4;
    QTest::newRow("zero") << "0" << 1;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("not a number") << "abc" << 1;
    QTest::newRow("above eight") << "12" << 8;
    QTest::newRow("not reported") << QString() << 1;
}

void TestSetupContentManager::channelCount()
{
    QFETCH(QString, reported);
    QFETCH(int, expected);
    PackDir pack("uid_channel_num,G,,%s,capability_nvideoin=%s\n");
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    manager.SetNumChannel(3);
    Values values;
    if (!reported.isNull())
        values.insert("capability_nvideoin", reported);
    manager.ApplyCurrentValues(values);
    QCOMPARE(manager.NumChannel(), expected);
}

void TestSetupContentManager::applyCurrentValues()
{
    PackDir pack("uid_channel_num,G,,%s,capability_nvideoin=%s\n"
                 "uid_system_hostname,G,S,%s,system_hostname=%s\n"
                 "uid_system_ledoff,G,S,1,led=1,0,led=0\n",
                 {{"QD8182", "uid_color,G,S,1,videoin_c0_color=1,0,videoin_c0_color=0\n"}});
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    QVERIFY(manager.LoadModel("QD8182"));
    setCurrent(manager, "uid_system_ledoff", 0, "1");
    setCurrent(manager, "uid_color", 3, "1");
    const Values values{
        {"capability_nvideoin", "2"}, {"system_hostname", "cam07"}, {"led", "7"},
        {"videoin_c0_color", "1"},    {"videoin_c1_color", "0"},    {"videoin_c3_color", "0"}};
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("No matching options for UID "
                                                        "uid_system_ledoff channel 0"));
    manager.ApplyCurrentValues(values);
    QCOMPARE(manager.NumChannel(), 2);
    QCOMPARE(current(manager, "uid_system_hostname", 0), QString("cam07"));
    QCOMPARE(current(manager, "uid_color", 0), QString("1"));
    QCOMPARE(current(manager, "uid_color", 1), QString("0"));
    // Unmatched values and channels beyond the count keep what they had.
    QCOMPARE(current(manager, "uid_system_ledoff", 0), QString("1"));
    QCOMPARE(current(manager, "uid_color", 3), QString("1"));
    QCOMPARE(current(manager, "uid_channel_num", 0), QString("2"));
    QVERIFY(manager.IsDirty());
    manager.ResetDirty();
    QVERIFY(!manager.IsDirty());
}

void TestSetupContentManager::digitalInputsAndOutputs()
{
    PackDir pack("uid_other,G,S,1,o=1\n");
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    const int before = manager.Entries().size();
    const Values values{{"di_i0_normalstate", "low"},
                        {"di_i9_normalstate", "high"},
                        {"do_i1_normalstate", "grounded"},
                        {"xdi_i2_normalstate", "high"},
                        {"di_i3_normalstate_x", "high"}};
    manager.ApplyDigitalInputs(values);
    manager.ApplyDigitalOutputs(values);
    QCOMPARE(manager.Entries().size(), before + 1); // only uid_di9 was not in the list
    const UISetEntry di0 = manager.GetContent("uid_di0_normal_state", 0);
    QCOMPARE(di0.set->opts(), (QVariantList{"high", "low"}));
    QCOMPARE(di0.set->currentOpt(), QString("low"));
    QCOMPARE(current(manager, "uid_di9_normal_state", 0), QString("high"));
    QCOMPARE(manager.GetContent("uid_do1_normal_state", 0).set->opts(),
             (QVariantList{"open", "grounded"}));
    QCOMPARE(current(manager, "uid_do1_normal_state", 0), QString("grounded"));
    QCOMPARE(current(manager, "uid_di2_normal_state", 0), QString(""));
    QCOMPARE(manager.DigitalInputCount(), 0);
    QCOMPARE(manager.BuildSetRequests("QD8182",
                                      {{"uid_di9_normal_state", 0}, {"uid_do1_normal_state", 0}}),
             (Requests{{kSet, {"di_i9_normalstate=high", "do_i1_normalstate=grounded"}}}));
}

void TestSetupContentManager::readRequests()
{
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n"
                 "uid_system_ledoff,G,S,1,led=1&=x&flag,0,led=0&other=0\n"
                 "uid_color,/cgi-bin/viewer/getparam.cgi,S,1,videoin_c0_color=1\n"
                 "uid_network_http_port,,S,%s,network_http_port=%s\n");
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    manager.SetNumChannel(8);
    using Sets = QMap<QString, QSet<QString>>;
    QCOMPARE(manager.ReadRequests(),
             (Sets{{kGet, {"system_hostname", "led", "flag", "other"}},
                   {"/cgi-bin/viewer/getparam.cgi", {"videoin_c0_color"}}}));
}

void TestSetupContentManager::optionListLookup()
{
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n"
                 "uid_new_feature,G,S,1,nf=1\n");
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    const int before = manager.Entries().size();
    QCOMPARE(manager.GetOptionListPtr("uid_system_hostname", 0),
             manager.GetContent("uid_system_hostname", 0).set.get());

    QTest::ignoreMessage(
        QtDebugMsg, "CSetupContentManager::GetOptionListPtr: UID uid_new_feature 0 was not in "
                    "the pre-defined list. Please add the UID into CSetupContentManager to avoid "
                    "any runtime problems");
    COptionList* created = manager.GetOptionListPtr("uid_new_feature", 0);
    QVERIFY(created);
    QCOMPARE(manager.Entries().size(), before + 1);
    QCOMPARE(manager.GetOptionListPtr("uid_new_feature", 0), created);

    QTest::ignoreMessage(QtDebugMsg, "CSetupContentManager::GetOptionListPtr: UID uid_color 0 was "
                                     "not found in base");
    QVERIFY(!manager.GetOptionListPtr("uid_color", 0));
    QVERIFY(!manager.GetOptionListPtr("", 0));
    QVERIFY(manager.GetOptionListPtr("uid_di4_normal_state", 0));
}

void TestSetupContentManager::refreshOnModelChange()
{
    PackDir pack("uid_system_ledoff,G,S,1,led=1,,ignored,0,led=0\n",
                 {{"QD8182", "uid_system_ledoff,G,S,on,led=1,off,led=0,auto,led=2\n"}});
    QTemporaryDir customize;
    QVERIFY(PackFixture::writeFile(customize.filePath("customizeCameraSettings.csv"),
                                   "uid_custom_osd,/g,/s,osd_text=%s\n"));
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), customize.path()));
    QCOMPARE(manager.CustomizeUids(), QStringList{"uid_custom_osd"});
    QCOMPARE(manager.Entries().last().uid, QString("uid_custom_osd"));
    QVERIFY(manager.LoadModel("QD8182"));
    COptionList* led = manager.GetContent("uid_system_ledoff", 0).set.get();
    QCOMPARE(led->opts(), (QVariantList{"on", "off", "auto"}));
    led->setCurrentOpt("auto");
    QSignalSpy reset(led, &COptionList::dataReset);
    manager.ResetModel();
    QCOMPARE(led->opts(), (QVariantList{"1", "0"}));
    QCOMPARE(led->currentOpt(), QString(""));
    QCOMPARE(manager.CurrentModel(), QString("base"));
    manager.EmitDataReset();
    QCOMPARE(reset.count(), 1);
    QVERIFY(!manager.LoadModel("QZ9185"));
}

void TestSetupContentManager::templateRoundTrip()
{
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n",
                 {{"QD8182", "uid_s1_video_codec,G,S,h264,c=1,h265,c=2\n"}});
    QTemporaryDir dir;
    const QString file = dir.filePath("ArdmereBatchSetupExport.csv");

    CSetupContentManager source(nullptr);
    QVERIFY(source.Init(pack.path(), pack.customizeDir()));
    source.SetNumChannel(8);
    QVERIFY(source.LoadModel("QD8182"));
    // Give every entry its own value; the duplicated names on channels above 0 differ too.
    int n = 0;
    for (const UISetEntry& entry : source.Entries())
        entry.set->setCurrentOpt(QStringLiteral("v%1,\"x\"").arg(n++));
    setCurrent(source, "uid_system_hostname", 0, QString::fromUtf8("Caf\xc3\xa9 \xe5\x8f\xb0"));
    QVERIFY(source.WriteToFile(file));
    const QList<QByteArray> lines = PackFixture::readFile(file).split('\n');
    QCOMPARE(lines.at(0), QByteArray("ArdmereBatchSetupExportFile"));
    QCOMPARE(lines.at(1), QByteArray("QD8182"));
    QCOMPARE(lines.at(2), QByteArray("uid_system_hostname,0,\"Caf\xc3\xa9 \xe5\x8f\xb0\","));

    CSetupContentManager target(nullptr);
    QVERIFY(target.Init(pack.path(), pack.customizeDir()));
    target.SetNumChannel(8);
    target.ResetDirty();
    QVERIFY(target.ReadFromFile(file));
    QCOMPARE(target.CurrentModel(), QString("QD8182"));
    QCOMPARE(target.Entries().size(), source.Entries().size());
    for (int i = 0; i < source.Entries().size(); ++i) {
        const UISetEntry& a = source.Entries().at(i);
        const UISetEntry& b = target.Entries().at(i);
        QCOMPARE(b.uid, a.uid);
        QCOMPARE(b.channel, a.channel);
        QCOMPARE(b.set->currentOpt(), a.set->currentOpt());
    }
    QVERIFY(target.IsDirty());

    // A file of the base table drops the loaded model table.
    CSetupContentManager base(nullptr);
    QVERIFY(base.Init(pack.path(), pack.customizeDir()));
    QVERIFY(base.WriteToFile(file));
    QVERIFY(target.ReadFromFile(file));
    QCOMPARE(target.CurrentModel(), QString("base"));
}

void TestSetupContentManager::templateBadLines()
{
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n");
    QTemporaryDir dir;
    const QString file = dir.filePath("t.csv");
    QVERIFY(PackFixture::writeFile(file, "ArdmereBatchSetupExportFile\n"
                                         "base\n"
                                         "uid_system_hostname,0,\"first\",\n"
                                         "uid_system_ledoff,0\n"
                                         "uid_ntp_server,x,\"skipped\",\n"
                                         "uid_system_ledoff,0,,\n"
                                         ",0,\"nothing\",\n"
                                         "uid_unknown,0,\"warned\",\n"
                                         "uid_di2_normal_state,0,\"low\",\n"
                                         "uid_di11_normal_state,0,\"high\",\n"
                                         "uid_do0_normal_state,0,\"open\",\n"
                                         "uid_do0_normal_state,5,\"open\",\n"));
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    setCurrent(manager, "uid_system_ledoff", 0, "kept");
    QTest::ignoreMessage(QtDebugMsg, "invalid import file in CSetupContentManager::ReadFromFile: "
                                     "invalid line: (uid_system_ledoff, 0)");
    QTest::ignoreMessage(QtDebugMsg, "CSetupContentManager::GetContent WARNING: UID-channel pair "
                                     "<uid_unknown,0> cannot be found.");
    QTest::ignoreMessage(QtDebugMsg, "CSetupContentManager::GetContent WARNING: UID-channel pair "
                                     "<uid_do0_normal_state,5> cannot be found.");
    QTest::ignoreMessage(QtDebugMsg, "CSetupContentManager::GetContent WARNING: UID-channel pair "
                                     "<uid_do0_normal_state,5> cannot be found.");
    QVERIFY(manager.ReadFromFile(file));
    QCOMPARE(current(manager, "uid_system_hostname", 0), QString("first"));
    QCOMPARE(current(manager, "uid_system_ledoff", 0), QString("")); // cleared by the reload
    QCOMPARE(current(manager, "uid_ntp_server", 0), QString(""));
    QCOMPARE(current(manager, "uid_di2_normal_state", 0), QString("low"));
    QCOMPARE(manager.GetContent("uid_di11_normal_state", 0).set->opts(),
             (QVariantList{"high", "low"}));
    QCOMPARE(current(manager, "uid_di11_normal_state", 0), QString("high"));
    QCOMPARE(current(manager, "uid_do0_normal_state", 0), QString("open"));
    QCOMPARE(manager.DigitalInputCount(), 2);
    QCOMPARE(manager.DigitalOutputCount(), 2);
}

void TestSetupContentManager::templateRejects_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray()
                                  << "Cannot open file in CSetupContentManager::ReadFromFile";
    QTest::newRow("wrong magic") << QByteArray("ArdmereBatchSetupExportFile2\nbase\n")
                                 << "Invalid import file in CSetupContentManager::ReadFromFile: "
                                    "First line is wrong";
    QTest::newRow("empty file") << QByteArray("")
                                << "Invalid import file in "
                                   "CSetupContentManager::ReadFromFile: First line is wrong";
    QTest::newRow("unknown model")
        << QByteArray("ArdmereBatchSetupExportFile\nQZ9185\nuid_color,0,\"1\",\n")
        << "Invalid import file in CSetupContentManager::ReadFromFile: "
           "Second line is wrong";
    QTest::newRow("no model line") << QByteArray("ArdmereBatchSetupExportFile\n")
                                   << "Invalid import file in CSetupContentManager::ReadFromFile: "
                                      "Second line is wrong";
    QTest::newRow("model line escapes the pack")
        << QByteArray("ArdmereBatchSetupExportFile\n../csv/QD8182\n")
        << "Invalid import file in CSetupContentManager::ReadFromFile: Second line is wrong";
}

void TestSetupContentManager::templateRejects()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    PackDir pack("uid_system_hostname,G,S,%s,system_hostname=%s\n",
                 {{"QD8182", "uid_color,G,S,1,c=1\n"}});
    QTemporaryDir dir;
    const QString file = dir.filePath("t.csv");
    if (!content.isNull())
        QVERIFY(PackFixture::writeFile(file, content));
    CSetupContentManager manager(nullptr);
    QVERIFY(manager.Init(pack.path(), pack.customizeDir()));
    QVERIFY(manager.LoadModel("QD8182"));
    setCurrent(manager, "uid_system_hostname", 0, "kept");
    if (content.isNull())
        QTest::ignoreMessage(QtDebugMsg, "cannot open file in CCsvParser::CCsvParser");
    if (message.endsWith("Second line is wrong"))
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("CDevicePack::LoadModel: Cannot find"));
    QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    QVERIFY(!manager.ReadFromFile(file));
    QCOMPARE(manager.CurrentModel(), QString("QD8182"));
    QCOMPARE(current(manager, "uid_system_hostname", 0), QString("kept"));
}

QTEST_GUILESS_MAIN(TestSetupContentManager)
#include "tst_setupcontentmanager.moc"
