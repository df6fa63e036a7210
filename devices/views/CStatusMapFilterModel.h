#pragma once

#include "CStatusMapSortModel.h"

#include <QList>

// The rows whose status map holds a code under statusKey that is one of the accepted codes (or
// any code, when acceptAny is set). The word, selection, model and version filters of the base
// view do not apply.
class CStatusMapFilterModel : public CStatusMapSortModel
{
    Q_OBJECT

public:
    explicit CStatusMapFilterModel(QObject* parent = nullptr);

    QList<int> acceptedStatuses() const { return m_acceptedStatuses; }
    bool acceptAny() const { return m_acceptAny; }

    void setAcceptedStatuses(const QList<int>& statuses) { m_acceptedStatuses = statuses; }
    void setAcceptAny(bool acceptAny) { m_acceptAny = acceptAny; }
    // Re-filters and announces the count.
    Q_INVOKABLE void refresh();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QList<int> m_acceptedStatuses;
    bool m_acceptAny = false;
};
