#pragma once

#include "CCsvParser.h"
#include "UidEntry.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

// The option tables of the device pack: the table "base" that every model shares, plus at most one
// model table at a time. A model table replaces base entries as a whole. Copies are cheap (the
// tables are implicitly shared), so callers can take a per-device copy and load another model in
// it.
class CDevicePack
{
public:
    CDevicePack() = default;
    CDevicePack(const CDevicePack&) = default;
    CDevicePack& operator=(const CDevicePack&) = default;
    virtual ~CDevicePack();

    // Loads "base.csv" from the CSV directory; forgets every table and customize UID first.
    bool Load(const QString& directory);
    // Adds the rows of "customizeCameraSettings.csv" in directory to the base table.
    bool LoadCustomizeSettings(const QString& directory);
    // Loads the table of a model (or of its six-character family) in place of the current one.
    bool LoadModel(const QString& model);
    void RemoveCurrentModel();

    QVector<UidOption> GetOptions(const QString& uid) const;
    QString GetReadPath(const QString& uid) const;
    QString GetWritePath(const QString& uid) const;
    bool ContainsUid(const QString& uid) const;
    // The entry a lookup of uid yields (model table first, then base), or nullptr.
    const UidEntry* FindEntry(const QString& uid) const;

    QString CurrentModel() const { return m_currentModel; }
    bool IsBaseOnly() const { return m_currentModel == QLatin1String("base"); }
    QStringList CustomizeUids() const { return m_customizeUids; }

protected:
    virtual std::unique_ptr<CCsvParser> CreateCsvParser(const QString& path,
                                                        const char* codecName) const;

private:
    using Table = QMap<QString, UidEntry>;

    bool ReadModelCsv(const QString& key, const QString& path);
    bool ReadCustomizeCsv(const QString& path);

    QMap<QString, Table> m_tables;
    QString m_path;
    QString m_currentModel;
    QStringList m_customizeUids;
};
