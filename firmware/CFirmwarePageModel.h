#pragma once

#include <QAbstractListModel>
#include <deque>
#include <memory>

class CFirmwarePageInfo;

// The firmware page's model groups, one row each, in queue order.
class CFirmwarePageModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int numFailedGroup READ numFailedGroup NOTIFY numFailedGroupChanged)
public:
    enum ERoles
    {
        modelRole = Qt::UserRole + 1,
        firmwarePathRole,
        countRole,
        statusRole,
        errorCountRole,
        statusIndexRole,
        progressRole,
        rowNumListRole,
        devicesModelRole,
        failedDevicesModelRole,
        groupNameRole,
        firmwareModelRole,
        filenameRole
    };
    Q_ENUM(ERoles)

    explicit CFirmwarePageModel(QObject* parent = nullptr);
    ~CFirmwarePageModel() override;

    int count() const { return rowCount(); }
    int numFailedGroup() const { return m_numFailedGroup; }
    std::shared_ptr<CFirmwarePageInfo> recordAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

public slots:
    void ResetList(std::deque<std::shared_ptr<CFirmwarePageInfo>> deviceList);

signals:
    void countChanged();
    void numFailedGroupChanged();

private:
    void RecountFailedGroups();

    std::deque<std::shared_ptr<CFirmwarePageInfo>> m_records;
    int m_numFailedGroup = 0;
};
