#pragma once

#include "CDeviceInfo.h"

#include <QAbstractListModel>
#include <vector>

// A read-only list of device records with a name. Until it is given records it shows ten
// placeholder devices named after it.
class CSimpleModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CSimpleModel(const QString& name, QObject* parent = nullptr);

    QString name() const { return m_name; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void resetList(const std::deque<std::shared_ptr<CDeviceInfo>>& records);

private:
    QString m_name;
    std::vector<std::shared_ptr<CDeviceInfo>> m_records;
};
