#pragma once

#include "CDeviceInfo.h"
#include "CHttpClient2.h"

#include <QFutureWatcher>
#include <QModelIndex>
#include <QObject>
#include <QPointer>
#include <QVariantList>

class CGetParamCtrl;
class QAbstractItemModel;

// Adds devices by address or from a CSV file: each new device is asked for its identity before it
// enters the list; devices already listed are reported instead of added again.
class CImportDeviceCtrl : public QObject
{
    Q_OBJECT
public:
    // Outcome of one device of a run, stored in its job under "statusRole".
    enum E_Import_Code
    {
        Other = 0,
        Identified = 1,
        AddedWithoutIdentity = 2,
        AlreadyListed = 3,
        NoAnswer = 4,
        RequestFailed = 5
    };

    // A file naming more devices than this is cut short: a batch sends every request at once.
    static constexpr int kMaxJobsPerFile = 10000;

    explicit CImportDeviceCtrl(QObject* parent = nullptr);
    ~CImportDeviceCtrl() override;

    void setModel(QAbstractItemModel* model) { m_model = model; }
    QAbstractItemModel* model() const { return m_model; }

    // Reads the file (on a worker thread, so a huge file never freezes the window) and imports its
    // devices. False without a model; a file that cannot be read reports importFileError.
    bool importFile(const QString& path, const QString& username, const QString& password);
    bool addOne(const QString& ip, const QString& username, const QString& password,
                const QString& portText);
    void abort();

    // The first row whose address (whole text, any case) and HTTP port are those given.
    virtual QModelIndex findRow(const QString& ip, int port) const;

    QVariantList jobs() const { return m_jobs; }
    // Address and code of every job that was not imported, in job order.
    QVariantList failedJobs() const;
    QVariantList failedAddresses() const;
    CGetParamCtrl* getParamCtrl() const { return m_getParamCtrl; }

    // The jobs a file's lines give (at most kMaxJobsPerFile); ok is false when the file cannot
    // be read.
    static QVariantList jobsFromFile(const QString& path, const QString& username,
                                     const QString& password, bool* ok);

signals:
    void importDevicesFinished();
    void importFileError();
    void someImportFailed();
    void allImportSucceeded();
    void devicesFound(std::deque<std::shared_ptr<CDeviceInfo>> listDevices);
    void alreadyExists(QVariantList listRows);

public slots:
    void getParamResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                               const QVariant& response);
    void getParamFinishHandler();

private:
    struct FileJobs
    {
        bool ok = false;
        QVariantList jobs;
    };

    void onFileRead();
    void importJobs(const QVariantList& jobs);
    void query(const QVariantList& jobs);
    // Rows by lower-case address and HTTP port, for whole-file look-ups.
    QHash<QString, int> listedRows() const;
    static QString rowKey(const QString& ip, int port);

    QPointer<QAbstractItemModel> m_model;
    CGetParamCtrl* m_getParamCtrl;
    QVariantList m_jobs;
    QFutureWatcher<FileJobs> m_fileReader;
};
