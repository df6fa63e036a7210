#pragma once

#include "CHttpClient2.h"
#include "CSetDevicesCtrl.h"

class CGetParamCtrl;

// Sends one CGI query, as the user typed it, to every device of the CGI page and can append the
// devices' answers to a text file.
class CCgiGetDevicesCtrl : public CSetDevicesCtrl
{
    Q_OBJECT
public:
    static const QString kStatusKey;

    explicit CCgiGetDevicesCtrl(QObject* parent = nullptr);
    ~CCgiGetDevicesCtrl() override;

    bool Start(const QString& command, bool toFile);
    bool StartWith(const QVariantList& contexts, const QString& command);
    void Abort();

    QString OutputFileName() const { return m_outputFileName; }
    CGetParamCtrl* Runner() const { return m_runner; }

    // Splits a typed command into its CGI path and query items.
    static void SplitCommand(const QString& command, QString* path, QStringList* parameters);
    // The text appended to the answer file for one device's reply body.
    static QByteArray AnswerText(const QByteArray& message);

protected slots:
    void cgiGetResultHandler(const QVariant& context, CHttpClient2::ENetworkError result,
                             const QVariant& response);
    void cgiGetFinishHandler();

private:
    void Send(const QString& command);
    void AppendAnswer(const QVariant& response);

    QVariantList m_contexts;
    QString m_outputFileName;
    bool m_toFile = false;
    CGetParamCtrl* m_runner;
};
