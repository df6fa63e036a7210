#include "CSetupContentManager.h"

#include "CCsvParser.h"
#include "CCustomizeCheckingOptionList.h"
#include "CTimeZoneOptionList.h"
#include "SetupContentUids.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <QUrl>

#include <cmath>
#include <new>

namespace {

const QString kFreeInput = QStringLiteral("%s");
const QString kFileMagic = QStringLiteral("ArdmereBatchSetupExportFile");
const QString kSetParamPath = QStringLiteral("/cgi-bin/admin/setparam.cgi");

const QRegularExpression& digitalUidPattern()
{
    static const QRegularExpression re(QStringLiteral("^uid_d(i|o)(\\d+)_normal_state$"));
    return re;
}

bool hasValue(const QVector<UidOption>& options)
{
    for (const UidOption& option : options) {
        if (!option.first.isEmpty())
            return true;
    }
    return false;
}

// The free input goes into an urlencoded request body: it is percent-encoded so that "&", "=",
// "%" or "+" typed by the user stay part of the value instead of adding parameters.
QString encodeFreeInput(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// Visits the name=value pieces of a parameter string; pieces without "=" are skipped.
template <typename F> void forEachAssignment(const QString& params, F&& visit)
{
    for (const QStringRef& piece : params.splitRef(QLatin1Char('&'))) {
        const int eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (!visit(piece.left(eq), piece.mid(eq + 1)))
            return;
    }
}

} // namespace

CSetupContentManager::CSetupContentManager(QObject* parent) : QObject(parent)
{
    m_entries.reserve(AllUids().size() + 8 * ChannelUids().size());
    for (const QString& uid : AllUids())
        Append(uid, 0);
}

CSetupContentManager::~CSetupContentManager() = default;

std::shared_ptr<COptionList> CSetupContentManager::CreateUISet(const QString& uid)
{
    try {
        COptionList* list = nullptr;
        if (uid == QLatin1String("uid_system_timezoneindex"))
            list = new CTimeZoneOptionList(this);
        else if (uid.endsWith(QLatin1String("mpeg4_max_frame_rate")))
            list = new CCustomizeCheckingOptionList(this);
        else
            list = new COptionList(this);
        return std::shared_ptr<COptionList>(list);
    } catch (const std::bad_alloc&) {
        qDebug() << "Failed to allocate memory in CSetupContentManager";
        return nullptr;
    }
}

UISetEntry& CSetupContentManager::Append(const QString& uid, int channel)
{
    m_entries.append(UISetEntry{uid, channel, CreateUISet(uid)});
    ++m_generation;
    if (COptionList* set = m_entries.last().set.get())
        connect(set, &COptionList::currentOptChanged, this, [this] { ++m_generation; });
    const UidChannel key(uid, channel);
    if (!m_firstIndex.contains(key))
        m_firstIndex.insert(key, m_entries.size() - 1);
    return m_entries.last();
}

int CSetupContentManager::IndexOf(const QString& uid, int channel) const
{
    return m_firstIndex.value(UidChannel(uid, channel), -1);
}

int CSetupContentManager::IndexOfUid(const QString& uid) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].uid == uid)
            return i;
    }
    return -1;
}

bool CSetupContentManager::Init(const QString& directory)
{
    return Init(directory, QCoreApplication::applicationDirPath());
}

bool CSetupContentManager::Init(const QString& directory, const QString& customizeDirectory)
{
    m_targetPacks.clear();
    m_requestCache.clear();
    ++m_generation;
    const bool loaded = m_pack.Load(directory + "/csv");
    m_pack.LoadCustomizeSettings(customizeDirectory);
    for (const QString& uid : m_pack.CustomizeUids())
        Append(uid, 0);
    return loaded;
}

void CSetupContentManager::SetNumChannel(int n)
{
    if (n <= 0) {
        qDebug().noquote()
            << "CSetupContentManager::SetNumChannel error: invalid channel number :" +
                   QString::number(n);
        return;
    }
    if (n > m_allocatedChannels) {
        for (int c = m_allocatedChannels; c < n; ++c) {
            for (const QString& uid : ChannelUids())
                Append(uid, c);
        }
        m_allocatedChannels = n;
    }
    m_numChannel = n;
}

UISetEntry CSetupContentManager::GetContent(const QString& uid, int channel) const
{
    const int index = IndexOf(uid, channel);
    if (index >= 0)
        return m_entries[index];
    qDebug().noquote() << "CSetupContentManager::GetContent WARNING: " +
                              QStringLiteral("UID-channel pair <") + uid + "," +
                              QString::number(channel) + "> cannot be found.";
    return UISetEntry{};
}

COptionList* CSetupContentManager::GetOptionListPtr(const QString& uid, int channel)
{
    if (m_pack.ContainsUid(uid) || digitalUidPattern().match(uid).hasMatch()) {
        const int index = IndexOf(uid, channel);
        if (index >= 0)
            return m_entries[index].set.get();
        qDebug().noquote() << "CSetupContentManager::GetOptionListPtr: UID " + uid + " " +
                                  QString::number(channel) + " was not in the pre-defined list. " +
                                  "Please add the UID into CSetupContentManager to avoid any "
                                  "runtime problems";
        return Append(uid, channel).set.get();
    }
    if (!uid.isEmpty())
        qDebug().noquote() << "CSetupContentManager::GetOptionListPtr: UID " + uid + " " +
                                  QString::number(channel) + " was not found in " +
                                  m_pack.CurrentModel();
    return nullptr;
}

bool CSetupContentManager::LoadModel(const QString& model)
{
    if (!m_pack.LoadModel(model))
        return false;
    RefreshOptions();
    return true;
}

void CSetupContentManager::ResetModel()
{
    m_pack.RemoveCurrentModel();
    RefreshOptions();
}

void CSetupContentManager::RefreshOptions()
{
    for (const UISetEntry& entry : qAsConst(m_entries)) {
        if (!entry.set)
            continue;
        entry.set->setCurrentOpt(QStringLiteral(""));
        QVariantList values;
        if (const UidEntry* uidEntry = m_pack.FindEntry(entry.uid)) {
            for (const UidOption& option : uidEntry->options) {
                if (!option.first.isEmpty())
                    values << option.first;
            }
        }
        entry.set->setOpts(values);
    }
}

QVector<UidOption> CSetupContentManager::ChannelOptions(const CDevicePack& pack,
                                                        const UISetEntry& entry) const
{
    QVector<UidOption> options = pack.GetOptions(entry.uid);
    if (entry.channel > 0 && IsChannelUid(entry.uid)) {
        const QString marker = QStringLiteral("_c%1_").arg(entry.channel);
        for (UidOption& option : options)
            option.second.replace(QLatin1String("_c0_"), marker);
    }
    return options;
}

QString CSetupContentManager::GetParamString(const CDevicePack& pack, const UISetEntry& entry) const
{
    const UidEntry* uidEntry = pack.FindEntry(entry.uid);
    if (!uidEntry || !hasValue(uidEntry->options))
        return QString();
    const QVector<UidOption>& options = uidEntry->options;
    const bool rewrite = entry.channel > 0 && IsChannelUid(entry.uid);
    auto onChannel = [&](QString params) {
        if (rewrite)
            params.replace(QLatin1String("_c0_"), QStringLiteral("_c%1_").arg(entry.channel));
        return params;
    };
    const QString current = entry.set ? entry.set->currentOpt() : QString();
    for (const UidOption& option : options) {
        if (!option.first.isEmpty() && option.first == current)
            return onChannel(option.second);
    }
    if (options.first().first == kFreeInput)
        return onChannel(options.first().second).replace(kFreeInput, encodeFreeInput(current));
    qDebug().noquote() << "UID " + entry.uid + " with currentOption " + current +
                              " cannot match any option in " + pack.CurrentModel() +
                              " in device pack";
    return QString();
}

QString CSetupContentManager::MakeParam(const CDevicePack& pack, const QString& uid, int channel,
                                        const QString& value) const
{
    auto list = std::make_shared<COptionList>();
    list->setCurrentOpt(value);
    return GetParamString(pack, UISetEntry{uid, channel, list});
}

QString CSetupContentManager::GetExtraContent(const CDevicePack& pack,
                                              const UISetEntry& entry) const
{
    if (!entry.set)
        return QString();
    const QString current = entry.set->currentOpt();
    const int channel = entry.channel;
    auto P = [&](const char* uid, const char* value) {
        return MakeParam(pack, QLatin1String(uid), channel, QLatin1String(value));
    };
    auto offers = [&](const char* uid) { return hasValue(pack.GetOptions(QLatin1String(uid))); };
    QString extra;

    // A motion detection switched on needs a window, or the camera detects nothing.
    if (entry.uid == QLatin1String("uid_motion_enable") && current == QLatin1String("1")) {
        if (offers("uid_motion0_x")) {
            extra += "&" + P("uid_motion0_enable", "1") + "&" + P("uid_motion0_x", "0") + "&" +
                     P("uid_motion0_y", "0") + "&" + P("uid_motion0_width", "320") + "&" +
                     P("uid_motion0_height", "240");
        } else if (offers("uid_motion0_rectangle") ||
                   pack.CurrentModel().contains(QLatin1String("TB517"))) {
            extra += "&" + P("uid_motion0_enable", "1") + "&" +
                     "motion_c0_win_i0_rectanglestd=0,0,9999,9999";
        } else if (offers("uid_motion0_polygon")) {
            QString polygon = P("uid_motion0_polygon", "0,0,0,240,320,240,320,0");
            if (polygon.contains(QLatin1String("std")))
                polygon = P("uid_motion0_polygon", "0,0,0,9999,9999,9999,9999,0");
            extra += "&" + P("uid_motion0_enable", "1") + "&" + polygon;
        }
    }

    // Cameras with a zoom module take the light-sensor sensitivity as a gain as well.
    if (entry.uid == QLatin1String("uid_ir_cut_sensitivity")) {
        bool ok = false;
        const int n = current.toInt(&ok, 10);
        bool zoomModule = false;
        for (const UidOption& option : pack.GetOptions(QStringLiteral("uid_sony_zoom_module")))
            zoomModule = zoomModule || option.first == QLatin1String("true");
        if (ok && zoomModule) {
            const int gain = static_cast<int>(std::ceil((n - 6) * 0.5) + 1);
            extra += QStringLiteral("&videoin_c%1_agc=%2").arg(channel).arg(gain);
        }
    }

    // The longest exposure must fit the mains frequency, or the picture flickers.
    if (entry.uid == QLatin1String("uid_freq") &&
        (current == QLatin1String("50") || current == QLatin1String("60"))) {
        const QString target = current == QLatin1String("50") ? "1/25" : "1/30";
        const QString marker = QStringLiteral("_c%1_").arg(channel);
        for (const char* uid : {"uid_max_exposure_time", "uid_max_exposure_time_profile"}) {
            for (const UidOption& option : pack.GetOptions(QLatin1String(uid))) {
                if (option.first == target) {
                    extra += "&" + QString(option.second).replace(QLatin1String("_c0_"), marker);
                    break;
                }
            }
        }
    }

    if (entry.uid == QLatin1String("uid_https_enable") && current == QLatin1String("1"))
        extra += QStringLiteral("&https_method=auto");
    return extra;
}

QPair<QString, QString> CSetupContentManager::GetParamItem(const CDevicePack& pack,
                                                           const QString& uid, int channel) const
{
    const UISetEntry entry = GetContent(uid, channel);
    if (!entry.set)
        return {};
    const QString path = pack.GetWritePath(uid);
    if (path.isEmpty())
        return {};
    const QString value = GetParamString(pack, entry) + GetExtraContent(pack, entry);
    if (value.isEmpty())
        return {};
    return {path, value};
}

const CDevicePack& CSetupContentManager::PackForModel(const QString& model) const
{
    auto it = m_targetPacks.find(model);
    if (it == m_targetPacks.end()) {
        CDevicePack pack = m_pack;
        if (!pack.LoadModel(model))
            pack.RemoveCurrentModel();
        it = m_targetPacks.insert(model, pack);
    }
    return *it;
}

QMap<QString, QStringList>
CSetupContentManager::BuildSetRequests(const QString& model, const QVector<UidChannel>& items) const
{
    const auto cached = m_requestCache.constFind(model);
    if (cached != m_requestCache.constEnd() && cached->generation == m_generation &&
        cached->items == items)
        return cached->requests;

    const CDevicePack& pack = PackForModel(model);
    QMap<QString, QStringList> requests;
    for (const UidChannel& item : items) {
        QPair<QString, QString> pathValue = GetParamItem(pack, item.first, item.second);
        const QRegularExpressionMatch digital = item.first.startsWith(QLatin1String("uid_d"))
                                                    ? digitalUidPattern().match(item.first)
                                                    : QRegularExpressionMatch();
        if (digital.hasMatch()) {
            const UISetEntry entry = GetContent(item.first, item.second);
            const QString state = entry.set ? entry.set->currentOpt() : QString();
            pathValue.first = kSetParamPath;
            pathValue.second =
                QStringLiteral("d%1_i%2_normalstate=%3")
                    .arg(digital.captured(1), digital.captured(2), encodeFreeInput(state));
        }
        if (!pathValue.first.isEmpty() && !pathValue.second.isEmpty())
            requests[pathValue.first].append(pathValue.second);
    }
    m_requestCache.insert(model, CachedRequests{m_generation, items, requests});
    return requests;
}

QMap<QString, QSet<QString>> CSetupContentManager::ReadRequests() const
{
    QMap<QString, QSet<QString>> requests;
    for (const UISetEntry& entry : m_entries) {
        if (entry.channel != 0)
            continue;
        const UidEntry* uidEntry = m_pack.FindEntry(entry.uid);
        if (!uidEntry || uidEntry->readPath.isEmpty())
            continue;
        QSet<QString>& names = requests[uidEntry->readPath];
        for (const UidOption& option : uidEntry->options) {
            for (const QStringRef& piece : option.second.splitRef(QLatin1Char('&'))) {
                const QStringRef name = piece.left(piece.indexOf(QLatin1Char('=')));
                if (!name.isEmpty())
                    names.insert(name.toString());
            }
        }
    }
    return requests;
}

QString CSetupContentManager::MatchedCurrentOption(const UISetEntry& entry,
                                                   const ParamValues& values) const
{
    if (entry.channel >= m_numChannel)
        return QString();
    const UidEntry* uidEntry = m_pack.FindEntry(entry.uid);
    if (!uidEntry || !hasValue(uidEntry->options))
        return QString();
    const QVector<UidOption> options = ChannelOptions(m_pack, entry);

    bool freeInputMatched = false;
    for (const UidOption& option : options) {
        if (option.first.isEmpty())
            continue;
        bool matches = true;
        forEachAssignment(option.second, [&](const QStringRef& name, const QStringRef& expected) {
            if (name.isEmpty() || expected == kFreeInput)
                return true;
            const auto it = values.constFind(name.toString());
            const QString actual = it == values.constEnd() ? QString() : *it;
            matches = actual == expected;
            return matches;
        });
        if (!matches)
            continue;
        if (option.first != kFreeInput)
            return option.first;
        freeInputMatched = true;
    }

    if (freeInputMatched) {
        for (const UidOption& option : options) {
            if (option.first != kFreeInput)
                continue;
            QString result;
            forEachAssignment(option.second,
                              [&](const QStringRef& name, const QStringRef& expected) {
                                  if (name.isEmpty() || expected != kFreeInput)
                                      return true;
                                  // A name the camera did not report reads as empty text.
                                  result = values.value(name.toString(), QStringLiteral(""));
                                  if (result.isNull())
                                      result = QStringLiteral("");
                                  return false;
                              });
            return result;
        }
    }

    if (m_pack.CurrentModel() != QLatin1String("base")) {
        qDebug().noquote() << "CSetupContentManager::MatchedCurrentOption warning: " +
                                  QStringLiteral("No matching options for UID ") + entry.uid +
                                  " channel " + QString::number(entry.channel) +
                                  ". Please check the device pack data. " +
                                  "(NOTE) options may be changed by runtime js, then this is not "
                                  "a problem";
    }
    return QString();
}

void CSetupContentManager::ApplyCurrentValues(const ParamValues& values)
{
    UISetEntry channelEntry{QStringLiteral("uid_channel_num"), 0, nullptr};
    const QString m = MatchedCurrentOption(channelEntry, values);
    int n = 1;
    if (!m.isEmpty()) {
        n = m.toInt(nullptr, 10);
        n = n < 2 ? 1 : (n > 8 ? 8 : n);
    }
    SetNumChannel(n);

    for (const UISetEntry& entry : qAsConst(m_entries)) {
        const QString value = MatchedCurrentOption(entry, values);
        if (!value.isNull() && entry.set)
            entry.set->setCurrentOpt(value);
    }
}

void CSetupContentManager::ApplyDigital(const ParamValues& values, const QRegularExpression& name,
                                        const QString& uidFormat, const QVariantList& options)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QRegularExpressionMatch match = name.match(it.key());
        if (!match.hasMatch())
            continue;
        const QString uid = uidFormat.arg(match.captured(1));
        int index = IndexOfUid(uid);
        if (index < 0) {
            Append(uid, 0);
            index = m_entries.size() - 1;
        }
        if (const std::shared_ptr<COptionList>& set = m_entries[index].set) {
            set->setOpts(options);
            set->setCurrentOpt(it.value());
        }
    }
}

void CSetupContentManager::ApplyDigitalInputs(const ParamValues& values)
{
    static const QRegularExpression re(QStringLiteral("^di_i(\\d+)_normalstate$"));
    ApplyDigital(values, re, QStringLiteral("uid_di%1_normal_state"),
                 {QStringLiteral("high"), QStringLiteral("low")});
}

void CSetupContentManager::ApplyDigitalOutputs(const ParamValues& values)
{
    static const QRegularExpression re(QStringLiteral("^do_i(\\d+)_normalstate$"));
    ApplyDigital(values, re, QStringLiteral("uid_do%1_normal_state"),
                 {QStringLiteral("open"), QStringLiteral("grounded")});
}

bool CSetupContentManager::IsRestartUid(const QString& uid) const
{
    return IsRestartUidName(uid);
}

void CSetupContentManager::EmitDataReset()
{
    for (const UISetEntry& entry : qAsConst(m_entries)) {
        if (entry.set)
            emit entry.set->dataReset();
    }
}

bool CSetupContentManager::IsDirty() const
{
    for (const UISetEntry& entry : m_entries) {
        if (entry.set && entry.set->IsDirty())
            return true;
    }
    return false;
}

void CSetupContentManager::ResetDirty()
{
    for (const UISetEntry& entry : qAsConst(m_entries)) {
        if (entry.set)
            entry.set->ResetDirty();
    }
}

bool CSetupContentManager::WriteToFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qDebug() << "Cannot open file in CSetupContentManager::WriteToFile";
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << kFileMagic << '\n' << m_pack.CurrentModel() << '\n';
    for (const UISetEntry& entry : m_entries) {
        if (!entry.set)
            continue;
        out << entry.uid << ',' << entry.channel << ",\"" << entry.set->currentOpt() << "\",\n";
    }
    out.flush();
    file.close();
    return out.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
}

bool CSetupContentManager::ReadFromFile(const QString& path)
{
    CCsvParser parser(path, "UTF-8");
    if (!parser.IsOpen()) {
        qDebug() << "Cannot open file in CSetupContentManager::ReadFromFile";
        return false;
    }
    const QString invalid =
        QStringLiteral("Invalid import file in CSetupContentManager::ReadFromFile: ");
    parser.ReadLine();
    if (parser.CurrentLine() != kFileMagic) {
        qDebug().noquote() << invalid + "First line is wrong";
        return false;
    }
    parser.ReadLine();
    const QString model = parser.CurrentLine();
    if (model == QLatin1String("base")) {
        m_pack.RemoveCurrentModel();
    } else if (!m_pack.LoadModel(model)) {
        qDebug().noquote() << invalid + "Second line is wrong";
        return false;
    }
    RefreshOptions();
    m_digitalInputCount = 0;
    m_digitalOutputCount = 0;

    // The list holds a few (uid, channel) pairs twice; the n-th line of a pair goes to the n-th
    // entry of that pair, so every written entry gets its own value back.
    QHash<UidChannel, int> seen;
    while (parser.HasNext()) {
        parser.ReadLine();
        const QStringList fields = parser.Fields();
        if (fields.size() < 3) {
            qDebug().noquote() << "invalid import file in CSetupContentManager::ReadFromFile: " +
                                      QStringLiteral("invalid line: ") + "(" +
                                      fields.join(QStringLiteral(", ")) + ")";
            continue;
        }
        const QString& uid = fields[0];
        bool ok = false;
        const int channel = fields[1].toInt(&ok, 10);
        const QString& value = fields[2];
        if (uid.isEmpty() || !ok || value.isEmpty())
            continue;

        const int occurrence = seen[UidChannel(uid, channel)]++;
        const QRegularExpressionMatch digital = digitalUidPattern().match(uid);
        if (digital.hasMatch()) {
            const bool input = digital.captured(1) == QLatin1String("i");
            if (IndexOfUid(uid) < 0)
                Append(uid, 0);
            const QVariantList options =
                input ? QVariantList{QStringLiteral("high"), QStringLiteral("low")}
                      : QVariantList{QStringLiteral("open"), QStringLiteral("grounded")};
            if (const std::shared_ptr<COptionList> set = GetContent(uid, channel).set)
                set->setOpts(options);
            if (input)
                ++m_digitalInputCount;
            else
                ++m_digitalOutputCount;
        }

        std::shared_ptr<COptionList> set;
        if (occurrence == 0) {
            set = GetContent(uid, channel).set;
        } else {
            int seenEntries = 0;
            for (const UISetEntry& entry : qAsConst(m_entries)) {
                if (entry.uid == uid && entry.channel == channel && seenEntries++ == occurrence) {
                    set = entry.set;
                    break;
                }
            }
        }
        if (set)
            set->setCurrentOpt(value);
    }
    return true;
}
