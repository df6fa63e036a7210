#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

#include <QList>
#include <QVariantMap>
#include <memory>

class CGetParamCtrl;

// Reads the identity and network settings of every device of the device-list export page and
// writes them as one CSV file, a line per device that answered.
class CExportDevicesCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;

    explicit CExportDevicesCtrl(QObject* parent = nullptr);
    ~CExportDevicesCtrl() override;

    // Asks every row again, forgetting the records of earlier runs. False when already working or
    // without a model.
    bool Start(const QString& dir, const QString& fileName);
    // Asks the rows that have not answered yet; the file is written again with the records of
    // every run since the last Start.
    bool RestartFailed();
    void Abort();
    // Writes records to the remembered directory and file name; false when the file cannot be
    // opened or written.
    bool WriteExportFile(const QList<QVariantMap>& records);

    QList<QVariantMap> Records() const { return m_records; }
    QString Dir() const { return m_dir; }
    QString FileName() const { return m_fileName; }
    std::shared_ptr<CGetParamCtrl> Runner() const { return m_runner; }
    // The file the export writes.
    QString FilePath() const;

signals:
    void succeeded();
    void writeFileFailed();

protected slots:
    void getParamResultHandler(const QVariant& context, CHttpClient2::ENetworkError error,
                               const QVariant& response);
    void getParamFinishHandler();

private:
    bool Run(bool onlyFailed);

    std::shared_ptr<CGetParamCtrl> m_runner;
    QString m_dir;
    QString m_fileName;
    QList<QVariantMap> m_records;
};
