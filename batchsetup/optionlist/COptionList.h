#pragma once

#include "CAbstractUISet.h"

// A setting's choices and its chosen value. Every change of the chosen value marks the list dirty
// until the owner resets it, so the page can tell whether the user edited anything.
class COptionList : public CAbstractUISet
{
    Q_OBJECT

public:
    explicit COptionList(QObject* parent = nullptr);
    ~COptionList() override;

    const QVariantList& opts() const override { return m_opts; }
    const QString& currentOpt() const override { return m_currentOpt; }
    void setOpts(const QVariantList& list) override;
    void setCurrentOpt(const QString& text) override;

    bool IsDirty() const { return m_dirty; }
    void ResetDirty() { m_dirty = false; }

signals:
    // The whole set was reloaded; the page re-reads it.
    void dataReset();

private:
    QVariantList m_opts;
    QString m_currentOpt;
    bool m_dirty = false;
};
