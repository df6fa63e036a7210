#pragma once

#include <QAbstractListModel>
#include <deque>
#include <memory>

class CZapkLicensePageInfo;

// The licence page's groups, one row per selection of files, in queue order (newest on top).
class CZapkLicensePageModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int numFailedGroup READ numFailedGroup NOTIFY numFailedGroupChanged)
public:
    enum ERoles
    {
        fileDescriptionRole = Qt::UserRole + 1,
        countRole,
        statusRole,
        errorCountRole,
        statusIndexRole,
        fileStartIndexRole,
        fileEndIndexRole,
        progressRole,
        devicesModelRole,
        failedDevicesModelRole
    };
    Q_ENUM(ERoles)

    explicit CZapkLicensePageModel(QObject* parent = nullptr);
    ~CZapkLicensePageModel() override;

    int count() const { return rowCount(); }
    int numFailedGroup() const { return m_numFailedGroup; }
    std::shared_ptr<CZapkLicensePageInfo> recordAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    void clear();

signals:
    void countChanged();
    void numFailedGroupChanged();

private:
    void RecountFailedGroups();

    std::deque<std::shared_ptr<CZapkLicensePageInfo>> m_records;
    int m_numFailedGroup = 0;
};
