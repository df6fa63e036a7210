#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

// The interface the batch-setup pages bind to for one setting: the choices offered (opts) and the
// chosen one (currentOpt).
class CAbstractUISet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList opts READ opts WRITE setOpts NOTIFY optsChanged)
    Q_PROPERTY(QString currentOpt READ currentOpt WRITE setCurrentOpt NOTIFY currentOptChanged)

public:
    explicit CAbstractUISet(QObject* parent = nullptr);
    ~CAbstractUISet() override;

public slots:
    virtual const QVariantList& opts() const = 0;
    virtual const QString& currentOpt() const = 0;
    virtual void setOpts(const QVariantList& list) = 0;
    virtual void setCurrentOpt(const QString& text) = 0;

signals:
    void optsChanged();
    void currentOptChanged();
};
