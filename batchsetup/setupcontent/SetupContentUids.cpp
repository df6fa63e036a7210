#include "SetupContentUids.h"

namespace {

QStringList prefixed(const char* const* names, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("uid_") + QLatin1String(names[i]);
    return list;
}

template <int N> QStringList prefixed(const char* const (&names)[N])
{
    return prefixed(names, N);
}

QStringList group1()
{
    static const char* const n[] = {"system_hostname",
                                    "system_ledoff",
                                    "system_timezoneindex",
                                    "system_daylight_enable",
                                    "ntp_server",
                                    "ntp_server_update_interval",
                                    "root_password",
                                    "security_do_permission",
                                    "security_ptz_permission",
                                    "https_enable",
                                    "https_mode",
                                    "https_only"};
    return prefixed(n);
}

QStringList group2()
{
    QStringList list;
    for (int i = 0; i < 8; ++i)
        list << QStringLiteral("uid_do%1_normal_state").arg(i);
    for (int i = 0; i < 8; ++i)
        list << QStringLiteral("uid_di%1_normal_state").arg(i);
    return list;
}

QStringList group3()
{
    static const char* const n[] = {"upnp_presentation_enable",
                                    "upnp_portforward_enable",
                                    "ipv6_enable",
                                    "ipv6_allow_optional",
                                    "ipv6_ipaddress",
                                    "ipv6_prefix_length",
                                    "ipv6_gateway",
                                    "ipv6_dns",
                                    "network_https_port",
                                    "network_two_way_audio_port",
                                    "network_ftp_port",
                                    "network_http_authmode",
                                    "network_http_port",
                                    "network_http_alternate_port"};
    return prefixed(n);
}

QStringList group4()
{
    QStringList list;
    for (int s = 0; s < 4; ++s)
        list << QStringLiteral("uid_network_http_s%1_access_name").arg(s);
    return list;
}

QStringList group5()
{
    static const char* const n[] = {"network_rtsp_authmode", "network_rtsp_port",
                                    "network_video_rtp_port", "network_audio_rtp_port"};
    return prefixed(n);
}

QStringList group6()
{
    static const char* const k[] = {"multicast_time_to_live", "multicast_audio_port",
                                    "multicast_video_port", "multicast_group_address",
                                    "multicast_always_enable"};
    QStringList list;
    for (int s = 0; s < 4; ++s) {
        for (const char* key : k)
            list << QStringLiteral("uid_network_rtsp_s%1_").arg(s) + QLatin1String(key);
    }
    return list;
}

QStringList group7()
{
    QStringList list;
    for (int s = 0; s < 4; ++s)
        list << QStringLiteral("uid_network_rtsp_s%1_accessname").arg(s);
    return list;
}

QStringList group8()
{
    static const char* const n[] = {"qos_cos_enable",
                                    "qos_cos_vlan_id",
                                    "qos_cos_video_channel",
                                    "qos_cos_audio_channel",
                                    "qos_cos_event_alarm_channel",
                                    "qos_cos_management_channel",
                                    "qos_dscp_enable",
                                    "qos_dscp_video_channel",
                                    "qos_dscp_audio_channel",
                                    "qos_dscp_event_alarm_channel",
                                    "qos_dscp_management_channel"};
    return prefixed(n);
}

QStringList group9()
{
    static const char* const n[] = {"snmp_v2_enable",
                                    "snmp_v2_readwrite_community_name",
                                    "snmp_v2_readonly_community_name",
                                    "snmp_v3_enable",
                                    "snmp_v3_readonly_security_name",
                                    "snmp_v3_readonly_auth_type",
                                    "snmp_v3_readonly_password",
                                    "snmp_v3_readonly_encrypt_password",
                                    "snmp_v3_readwrite_security_name",
                                    "snmp_v3_readwrite_auth_type",
                                    "snmp_v3_readwrite_password",
                                    "snmp_v3_readwrite_encrypt_password"};
    return prefixed(n);
}

QStringList group10()
{
    static const char* const n[] = {"show_name_time",
                                    "fisheye_mount_type",
                                    "switch_blackwhite_mode_enable",
                                    "color",
                                    "ir_cut_filter_mode",
                                    "ir_cut_day_mode_begin_time",
                                    "ir_cut_day_mode_end_time",
                                    "ir_cut_sensitivity",
                                    "ir_cut_disable_ir_led",
                                    "mirror",
                                    "flip",
                                    "ir_cut_external_led_enable",
                                    "sony_zoom_module",
                                    "enable_time_shift_catching_stream",
                                    "enable_time_shift_caching_stream",
                                    "video_mode"};
    return prefixed(n);
}

QStringList group11()
{
    QStringList list;
    for (int s = 0; s < 4; ++s)
        list << QStringLiteral("uid_s%1_frame_size").arg(s);
    return list;
}

QStringList group12()
{
    static const char* const n[] = {"audio_mute",
                                    "audio_mic_source",
                                    "audio_internal_mic_gain",
                                    "audio_external_mic_gain",
                                    "audio_set_mic_source",
                                    "audio_codec",
                                    "audio_aac_bitrate",
                                    "audio_gamr_bitrate",
                                    "audio_g711_mode",
                                    "audio_g726_bitrate"};
    return prefixed(n);
}

QStringList group13()
{
    static const char* const n[] = {
        "video_name",  "freq",        "analog_video_mode", "lens_modelname", "s0_roi_home",
        "s0_roi_size", "s1_roi_home", "s1_roi_size",       "low_light_com",  "gamma"};
    return prefixed(n);
}

QStringList group14()
{
    static const char* const mpeg4[] = {
        "max_frame_rate", "intra_period",    "video_quality",          "constant_bitrate",
        "fixed_quality",  "max_vbr_bitrate", "constant_bitrate_policy"};
    static const char* const h26x[] = {"max_frame_rate",
                                       "intra_period",
                                       "video_quality",
                                       "constant_bitrate",
                                       "fixed_quality",
                                       "max_vbr_bitrate",
                                       "smartstream_mode",
                                       "smartstream_max_bit_rate",
                                       "smartstream_foreground_quality",
                                       "smartstream_background_quality",
                                       "constant_bitrate_policy",
                                       "smartstream2_enable",
                                       "smartstream2_qualitypriority",
                                       "smartstream2_mode",
                                       "dintraperiod_enable"};
    static const char* const mjpeg[] = {"max_frame_rate",   "video_quality",
                                        "constant_bitrate", "fixed_quality",
                                        "max_vbr_bitrate",  "constant_bitrate_policy"};
    QStringList list;
    for (int s = 0; s < 4; ++s) {
        const QString stream = QStringLiteral("uid_s%1_").arg(s);
        list << stream + "video_codec";
        for (const char* k : mpeg4)
            list << stream + "mpeg4_" + QLatin1String(k);
        for (const char* k : h26x)
            list << stream + "h264_" + QLatin1String(k);
        for (const char* k : h26x)
            list << stream + "h265_" + QLatin1String(k);
        for (const char* k : mjpeg)
            list << stream + "mjpeg_" + QLatin1String(k);
        for (const char* k : mpeg4)
            list << stream + "svc_" + QLatin1String(k);
    }
    return list;
}

QStringList group15()
{
    static const char* const n[] = {"motion_enable",  "motion0_enable",      "motion0_name",
                                    "motion0_x",      "motion0_y",           "motion0_width",
                                    "motion0_height", "motion0_sensitivity", "motion0_percentage",
                                    "motion0_polygon"};
    return prefixed(n);
}

QStringList group17()
{
    static const char* const n[] = {"min_exposure_time", "max_exposure_time",
                                    "min_exposure_time_profile", "max_exposure_time_profile"};
    return prefixed(n);
}

} // namespace

const QStringList& AllUids()
{
    static const QStringList list = [] {
        QStringList l;
        l << group1() << group2() << group3() << group4() << group5() << group6() << group7()
          << group8() << group9() << group10() << group11() << group12() << group13() << group14()
          << group15() << QStringLiteral("uid_channel_num") << group17();
        return l;
    }();
    return list;
}

const QStringList& ChannelUids()
{
    static const QStringList list = [] {
        QStringList l;
        l << group4() << group6() << group7();
        l << prefixed({"show_name_time", "fisheye_mount_type", "color", "mirror", "flip",
                       "enable_time_shift_catching_stream", "enable_time_shift_caching_stream",
                       "video_mode", "s0_frame_size", "s1_frame_size", "s1_video_codec",
                       "s2_frame_size", "s2_video_codec", "s3_frame_size", "s3_video_codec"});
        l << group12() << group13() << group14() << group15() << group17();
        l << prefixed({"switch_blackwhite_mode_enable", "ir_cut_filter_mode",
                       "ir_cut_day_mode_begin_time", "ir_cut_day_mode_end_time", "sony_zoom_module",
                       "ir_cut_sensitivity", "ir_cut_external_led_enable",
                       "ir_cut_disable_ir_led"});
        return l;
    }();
    return list;
}

const QStringList& RestartUids()
{
    static const QStringList list = [] {
        QStringList l;
        l << QStringLiteral("uid_root_password") << QStringLiteral("uid_https_only");
        l << group3() << group4() << group5() << group6() << group7() << group8() << group9();
        return l;
    }();
    return list;
}

bool IsChannelUid(const QString& uid)
{
    static const QSet<QString> set(ChannelUids().cbegin(), ChannelUids().cend());
    return set.contains(uid);
}

bool IsRestartUidName(const QString& uid)
{
    static const QSet<QString> set(RestartUids().cbegin(), RestartUids().cend());
    return set.contains(uid);
}
