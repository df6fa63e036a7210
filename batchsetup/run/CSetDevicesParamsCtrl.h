#pragma once

#include "CBatchSetParamConnInfo.h"
#include "CSetDevicesCtrl.h"

#include <QMutex>
#include <QPair>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QVector>

class CBatchSetupCtrl;
class CSetupContentManager;

// Applies the chosen batch settings to every row of the batch-setup page: builds each camera's
// POST bodies for its own model, hands them to the batch runner and writes each camera's outcome
// into its row.
class CSetDevicesParamsCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;
    static const QString kSetParamPath;
    // Parameter text per POST body before the next parameters start a new one.
    static constexpr int kMaxBodyChars = 3700;

    // (uid, channel)
    using UidChannel = QPair<QString, int>;

    explicit CSetDevicesParamsCtrl(QObject* parent = nullptr);
    ~CSetDevicesParamsCtrl() override;

    // False while a run is in progress or without a device model.
    bool Start(const QVector<UidChannel>& items, CSetupContentManager* manager);
    void Abort();

    CBatchSetupCtrl* Runner() const { return m_runner; }
    QList<int> Rows() const { return m_rows; }

    // The model whose table configures a camera of this model name: a few cameras report a short
    // name for the model the pack knows under its full name.
    static QString TableModel(const QString& cameraModelName);
    // The parameter strings of one path as request bodies: joined with "&", a body closed once the
    // parameter text it holds exceeds kMaxBodyChars.
    static QStringList SplitBodies(const QStringList& params);
    // The result of the runner for one camera as a row status code.
    static int StatusFromResult(int result);

signals:
    void allVerified();

protected slots:
    void setupResultHandler(int iCurrListIdx, const QVariant& result);
    void setupFinishedHandler();

protected:
    virtual QList<CBatchSetParamConnInfo> CreateList(const QVector<UidChannel>& items,
                                                     CSetupContentManager* manager);

private:
    CBatchSetupCtrl* m_runner;
    QList<int> m_rows;
    // The same rows, so that a late result never lands on a row that was replaced meanwhile.
    QList<QPersistentModelIndex> m_indexes;
    QMutex m_listMutex;
};
