#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

// Base of the controllers that run one operation over the rows of a page's device list: it
// turns rows into request contexts and writes each device's status code back into its row.
class CSetDevicesCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CSetDevicesCtrl(QObject* parent = nullptr);

    virtual void SetModel(QAbstractItemModel* model);
    bool IsWorking() const { return m_working; }
    QAbstractItemModel* Model() const { return m_model; }

    // The code stored under key in the row's status map, or -1 when the row has none.
    static int StatusOf(const QModelIndex& index, const QString& key);
    // Replaces the row's status map with the single entry { key: code }.
    static bool WriteStatus(const QModelIndex& index, const QString& key, int code);
    // Address, credentials and ports of a row; "context" is a persistent index of the row, so a
    // late reply can never land on a row that has since been replaced.
    static QVariantMap RowContext(const QModelIndex& index);
    // The row a reply's "context" names, or an invalid index when it is gone.
    static QModelIndex IndexFromContext(const QVariant& context);

signals:
    void allCmdSent();

protected:
    void SetWorking(bool working) { m_working = working; }

    QPointer<QAbstractItemModel> m_model;
    bool m_working = false;
};
