#include "CDevicePack.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kBase = QStringLiteral("base");

// The tables were written on Windows in the local 8-bit code page; here they are UTF-8.
#ifdef Q_OS_WIN
const char* const kModelTableCodec = nullptr;
#else
const char* const kModelTableCodec = "UTF-8";
#endif

// A model name comes from a camera or a template file; it must name a file inside the pack's
// directory and nothing else.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

CDevicePack::~CDevicePack() = default;

std::unique_ptr<CCsvParser> CDevicePack::CreateCsvParser(const QString& path,
                                                         const char* codecName) const
{
    return std::make_unique<CCsvParser>(path, codecName);
}

bool CDevicePack::Load(const QString& directory)
{
    m_tables.clear();
    m_customizeUids.clear();
    m_currentModel = QString(""); // empty, not null: "nothing loaded"

    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists() || !QFileInfo::exists(dir.filePath("base.csv")))
        return false;

    m_path = directory;
    if (ReadModelCsv(kBase, dir.filePath("base.csv"))) {
        m_currentModel = kBase;
        return true;
    }
    qDebug() << "CDevicePack::Load fail to read base.csv";
    return false;
}

bool CDevicePack::LoadCustomizeSettings(const QString& directory)
{
    const QDir dir(directory);
    const QString file = dir.filePath("customizeCameraSettings.csv");
    if (directory.isEmpty() || !dir.exists() || !QFileInfo::exists(file))
        return false;
    if (ReadCustomizeCsv(file))
        return true;
    qDebug() << "CDevicePack::Load fail to read customize settings";
    return false;
}

bool CDevicePack::LoadModel(const QString& model)
{
    if (model == kBase) {
        qDebug() << "CDevicePack::LoadModel cannot load base.csv";
        return false;
    }
    const QDir dir(m_path);
    if (m_path.isEmpty() || !dir.exists()) {
        qDebug() << "CDevicePack::LoadModel: Cannot open the device pack directory";
        return false;
    }

    QString key;
    if (isPlainFileName(model)) {
        const QString family = model.left(6);
        if (QFileInfo::exists(dir.filePath(model + ".csv")))
            key = model;
        else if (isPlainFileName(family) && QFileInfo::exists(dir.filePath(family + ".csv")))
            key = family;
    }
    if (key.isEmpty()) {
        qDebug().noquote() << "CDevicePack::LoadModel: Cannot find model csv file: " + model;
        return false;
    }
    if (key == m_currentModel)
        return true;

    const QString file = dir.filePath(key + ".csv");
    if (!ReadModelCsv(key, file)) {
        qDebug().noquote() << "CDevicePack::LoadModel: fail to read " + file;
        return false;
    }
    RemoveCurrentModel();
    m_currentModel = key;
    return true;
}

void CDevicePack::RemoveCurrentModel()
{
    if (m_currentModel != kBase)
        m_tables.remove(m_currentModel);
    m_currentModel = kBase;
}

bool CDevicePack::ReadModelCsv(const QString& key, const QString& path)
{
    std::unique_ptr<CCsvParser> parser = CreateCsvParser(path, kModelTableCodec);
    if (!parser || !parser->IsOpen()) {
        qDebug().noquote() << "cannot open device pack csv file: " + path;
        return false;
    }
    if (!parser->HasNext()) {
        qDebug().noquote() << "Open device pack csv file error: first line is null. " + path;
        return false;
    }
    parser->ReadLine();
    const QStringList first = parser->Fields();
    if (first.isEmpty() || !first.first().startsWith(QLatin1String("Version="))) {
        qDebug().noquote() << "Open device pack csv file error: first line is invalid. " + path;
        return false;
    }
    if (!parser->HasNext()) {
        qDebug().noquote() << "Open device pack csv file error: second line is null. " + path;
        return false;
    }
    parser->ReadLine(); // column headings

    // Rows are gathered apart and stored whole, so a table is never left half-read.
    Table table;
    while (parser->HasNext()) {
        parser->ReadLine();
        const QStringList fields = parser->Fields();
        if (fields.size() < 3)
            continue;
        UidEntry& entry = table[fields[0]];
        entry.readPath = fields[1];
        entry.writePath = fields[2];
        for (int i = 3; i + 1 < fields.size(); i += 2)
            entry.options.append(UidOption(fields[i], fields[i + 1]));
    }
    m_tables.insert(key, table);
    return true;
}

bool CDevicePack::ReadCustomizeCsv(const QString& path)
{
    std::unique_ptr<CCsvParser> parser = CreateCsvParser(path, "UTF-8");
    if (!parser || !parser->IsOpen()) {
        qDebug().noquote() << "cannot open device pack csv file: " + path;
        return false;
    }
    Table& base = m_tables[kBase];
    while (parser->HasNext()) {
        parser->ReadLine();
        const QStringList fields = parser->Fields();
        if (fields.size() < 4)
            continue;
        UidEntry& entry = base[fields[0]];
        entry.readPath = fields[1];
        entry.writePath = fields[2];
        entry.options.append(UidOption(QStringLiteral("%s"), fields[3]));
        m_customizeUids.append(fields[0]);
    }
    return true;
}

const UidEntry* CDevicePack::FindEntry(const QString& uid) const
{
    const auto model = m_tables.constFind(m_currentModel);
    if (model != m_tables.constEnd()) {
        const auto it = model->constFind(uid);
        if (it != model->constEnd())
            return &*it;
    }
    const auto base = m_tables.constFind(kBase);
    if (base != m_tables.constEnd()) {
        const auto it = base->constFind(uid);
        if (it != base->constEnd())
            return &*it;
    }
    return nullptr;
}

QVector<UidOption> CDevicePack::GetOptions(const QString& uid) const
{
    const UidEntry* entry = FindEntry(uid);
    return entry ? entry->options : QVector<UidOption>();
}

QString CDevicePack::GetReadPath(const QString& uid) const
{
    const UidEntry* entry = FindEntry(uid);
    return entry ? entry->readPath : QString();
}

QString CDevicePack::GetWritePath(const QString& uid) const
{
    const UidEntry* entry = FindEntry(uid);
    return entry ? entry->writePath : QString();
}

bool CDevicePack::ContainsUid(const QString& uid) const
{
    for (const auto& key : {m_currentModel, kBase}) {
        const auto table = m_tables.constFind(key);
        if (table != m_tables.constEnd() && table->contains(uid))
            return true;
    }
    return false;
}
