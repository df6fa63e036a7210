#pragma once

#include "CDeviceInfo.h"

#include <QAbstractListModel>

// The flat list of device records; row i is record i. Every table of devices is a proxy over a
// model of this kind. Records are shared, so a record handed in through a slot is the same object
// the model then holds.
class CDeviceListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CDeviceListModel(QObject* parent = nullptr);
    ~CDeviceListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QMap<int, QVariant> itemData(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Removes every row whose value of role starts with the string form of value (case-insensitive,
    // as QAbstractItemModel::match with MatchStartsWith | MatchWrap).
    void removeMatching(int role, const QVariant& value);

    // Writes text to the row's aliasIp when it is a link-local address ("169.254..."), otherwise to
    // its ip.
    void setAddress(int row, const QString& text);

    // The record of a row, or null outside the list.
    std::shared_ptr<CDeviceInfo> deviceAt(int row) const;
    const std::deque<std::shared_ptr<CDeviceInfo>>& devices() const { return m_devices; }

public slots:
    void ResetList(std::deque<std::shared_ptr<CDeviceInfo>> deviceList);
    void PushFrontToList(std::deque<std::shared_ptr<CDeviceInfo>> deviceList);
    void PushFrontIfNotExist(std::deque<std::shared_ptr<CDeviceInfo>> deviceList);
    void PushBackRemoveExist(std::deque<std::shared_ptr<CDeviceInfo>> deviceList);
    // Discovery's identity rule: a record whose MAC is already listed only updates that row's
    // addresses; any other record is appended.
    void appendDevice(std::shared_ptr<CDeviceInfo> device);

private:
    bool isValidRow(const QModelIndex& index) const;
    int findRow(const QString& ip, quint16 httpPort) const;
    void insertFront(std::deque<std::shared_ptr<CDeviceInfo>>& deviceList);

    std::deque<std::shared_ptr<CDeviceInfo>> m_devices;
};
