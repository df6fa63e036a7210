#pragma once

#include <QSortFilterProxyModel>
#include <QVector>

// The licence page's devices: all of them, or only the rows one group matched.
class CZapkLicenseDeviceProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit CZapkLicenseDeviceProxyModel(QObject* parent = nullptr);

    void setRows(const QVector<int>& rows);
    void setAcceptAll(bool all);
    bool acceptAll() const { return m_acceptAll; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QVector<int> m_rows;
    bool m_acceptAll = false;
};
