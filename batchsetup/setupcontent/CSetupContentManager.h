#pragma once

#include "CDevicePack.h"
#include "UISetEntry.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// Keeps one option list per batch-setup setting (UID and channel), fills the lists from the device
// pack, sets their values from a template camera or a template file, and turns the chosen values
// into CGI parameter strings for any camera model.
class CSetupContentManager : public QObject
{
    Q_OBJECT

public:
    // CGI parameter name to value, as read from a camera.
    using ParamValues = QMap<QString, QString>;
    // (uid, channel)
    using UidChannel = QPair<QString, int>;

    explicit CSetupContentManager(QObject* parent);
    ~CSetupContentManager() override;

    // Loads the pack from directory + "/csv" and the customize settings from customizeDirectory
    // (the program's directory unless given).
    bool Init(const QString& directory);
    bool Init(const QString& directory, const QString& customizeDirectory);

    void SetNumChannel(int n);
    int NumChannel() const { return m_numChannel; }
    int DigitalInputCount() const { return m_digitalInputCount; }
    int DigitalOutputCount() const { return m_digitalOutputCount; }
    QString CurrentModel() const { return m_pack.CurrentModel(); }
    QStringList CustomizeUids() const { return m_pack.CustomizeUids(); }
    const QVector<UISetEntry>& Entries() const { return m_entries; }

    UISetEntry GetContent(const QString& uid, int channel) const;
    COptionList* GetOptionListPtr(const QString& uid, int channel);

    bool LoadModel(const QString& model);
    void ResetModel();
    void RefreshOptions();

    QMap<QString, QSet<QString>> ReadRequests() const;
    void ApplyCurrentValues(const ParamValues& values);
    void ApplyDigitalInputs(const ParamValues& values);
    void ApplyDigitalOutputs(const ParamValues& values);
    // The option the camera's values select; a null string if none.
    QString MatchedCurrentOption(const UISetEntry& entry, const ParamValues& values) const;
    // Write path to parameter strings for one camera of the given model.
    QMap<QString, QStringList> BuildSetRequests(const QString& model,
                                                const QVector<UidChannel>& items) const;

    bool IsRestartUid(const QString& uid) const;
    void EmitDataReset();
    bool IsDirty() const;
    void ResetDirty();

    bool WriteToFile(const QString& path) const;
    bool ReadFromFile(const QString& path);

private:
    std::shared_ptr<COptionList> CreateUISet(const QString& uid);
    UISetEntry& Append(const QString& uid, int channel);
    int IndexOf(const QString& uid, int channel) const;
    int IndexOfUid(const QString& uid) const;
    QVector<UidOption> ChannelOptions(const CDevicePack& pack, const UISetEntry& entry) const;
    QString GetParamString(const CDevicePack& pack, const UISetEntry& entry) const;
    QString MakeParam(const CDevicePack& pack, const QString& uid, int channel,
                      const QString& value) const;
    QString GetExtraContent(const CDevicePack& pack, const UISetEntry& entry) const;
    QPair<QString, QString> GetParamItem(const CDevicePack& pack, const QString& uid,
                                         int channel) const;
    const CDevicePack& PackForModel(const QString& model) const;
    void ApplyDigital(const ParamValues& values, const QRegularExpression& name,
                      const QString& uidFormat, const QVariantList& options);

    QVector<UISetEntry> m_entries;
    // First entry of each (uid, channel): lookups always take the first one in list order.
    QHash<UidChannel, int> m_firstIndex;
    CDevicePack m_pack;
    // Packs with a target camera's model loaded, built once per model (the tables only change
    // in Init).
    mutable QHash<QString, CDevicePack> m_targetPacks;
    // The last requests built per target model. A run asks the same for every camera of a model,
    // so they are built once while no choice changes (every change bumps the generation).
    struct CachedRequests
    {
        quint64 generation = 0;
        QVector<UidChannel> items;
        QMap<QString, QStringList> requests;
    };
    mutable QHash<QString, CachedRequests> m_requestCache;
    quint64 m_generation = 0;
    int m_numChannel = 1;
    int m_allocatedChannels = 1;
    int m_digitalInputCount = 0;
    int m_digitalOutputCount = 0;
};
