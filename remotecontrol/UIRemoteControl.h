#pragma once

#include "CRemoteMessageCodec.h"
#include "MyTimer.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>
#include <QVariantMap>
#include <memory>

#include <QQmlContext>

class QQuickItem;
class QWindow;

// A TCP server that lets a test harness drive the user interface: each JSON message names a
// command and objects of the QML scene; each gets one JSON reply. Everything runs on the GUI
// thread and one message is processed at a time, across all clients, in the order read.
//
// It has no authentication and listens on every interface: switch it on for test machines only.
class UIRemoteControl : public QObject
{
    Q_OBJECT

public:
    using ParsedMessageInfo = CRemoteMessageCodec::MessageInfo;

    static constexpr int kDefaultPort = 34541;

    // Listens on every interface at port (kDefaultPort when port is outside 1..65535). When that
    // fails the object stays idle. fallbackWindow is what an unknown window name resolves to.
    UIRemoteControl(QObject* rootObject, QQmlContext* rootContext, int port,
                    QObject* fallbackWindow = nullptr, QObject* parent = nullptr);
    ~UIRemoteControl() override;

    bool isListening() const { return m_server->isListening(); }
    quint16 serverPort() const { return m_server->serverPort(); }

protected:
    virtual bool DoInvoke(const QVariantMap& params);
    virtual bool DoInvokeRet(const QVariantMap& params, QVariant& value);
    virtual bool DoGetProperty(const QVariantMap& params, QVariant& value);
    virtual bool DoSetProperty(const QVariantMap& params);
    virtual bool DoClick(const QVariantMap& params, bool doubleClick);
    virtual bool DoHover(const QVariantMap& params);
    virtual bool DoDrag(const QVariantMap& params);
    virtual bool DoDrop(const QVariantMap& params);
    virtual bool DoPress(const QVariantMap& params);
    virtual bool DoKeyClick(const QVariantMap& params);
    virtual bool DoWaitSignal(const QVariantMap& params);
    virtual bool DoGetWinName(const QVariantMap& params, QVariant& value);
    virtual void DoJoystickButtonEvent(const QVariantMap& params);
    virtual void DoAddJoystick(const QVariantMap& params);
    virtual void SendReply(QTcpSocket* socket, bool result, const QVariant& value);
    virtual void ScheduleParse();

    bool DoEmitPluginSignal(const QVariantMap& params);
    void DoMoveJoystick(const QVariantMap& params);

protected slots:
    void HandleNewClientConnected();
    void ReleaseClient();
    void ReadDataFromClient();
    void ParseMessageAndDoControl();

private:
    struct QueuedMessage
    {
        QString text;
        // Guarded: a client may disconnect, and its socket be deleted, while its messages wait
        // or while a command runs a nested event loop.
        QPointer<QTcpSocket> socket;
    };

    bool isClient(const QPointer<QTcpSocket>& socket) const;
    void execute(const ParsedMessageInfo& info, const QPointer<QTcpSocket>& socket);
    bool dispatch(const ParsedMessageInfo& info, QVariant& value);
    bool invoke(const QVariantMap& params, QVariant* value);

    QObject* objectPathTarget(const QVariantMap& params) const;
    QObject* methodAwareTarget(const QVariantMap& params);
    QWindow* findWindow(const QVariantMap& params) const;
    QObject* contextObject(const QString& name) const;
    bool findWindowAndItem(const QVariantMap& params, QWindow** window, QQuickItem** item);

    bool m_busy = false;
    QPointer<QObject> m_rootObject;
    QPointer<QObject> m_fallbackWindow;
    QPointer<QQmlContext> m_rootContext;
    QTcpServer* m_server = nullptr;
    QList<QueuedMessage> m_queue;
    QList<QTcpSocket*> m_clients;
    std::shared_ptr<MyTimer> m_timer;
};
