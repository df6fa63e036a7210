#pragma once

#include <QAbstractListModel>
#include <QPair>
#include <QVector>

// The application page's left panel: one row per module name with the number of its devices.
class CZAPKLeftModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY CountChanged)
public:
    enum ERoles
    {
        modelname = Qt::UserRole + 100,
        devicecount
    };
    Q_ENUM(ERoles)

    explicit CZAPKLeftModel(QObject* parent = nullptr);

    int count() const { return m_rows.size(); }
    void SetContent(const QVector<QPair<QString, int>>& rows);
    QString NameAt(int row) const;
    int RowOf(const QString& name) const;
    void SetDeviceCount(int row, int n);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    // Removes the one row at row, whatever count says.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

signals:
    void CountChanged(int arg);

private:
    QVector<QPair<QString, int>> m_rows;
};
