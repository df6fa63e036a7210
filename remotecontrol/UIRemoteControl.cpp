#include "UIRemoteControl.h"

#include "CRemoteInput.h"
#include "CRemoteObjectFinder.h"

#include <QGuiApplication>
#include <QHostAddress>
#include <QJSValue>
#include <QMetaObject>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kMaxMethodArguments = 10;

QString text(const QVariantMap& params, const char* name)
{
    return params.value(QLatin1String(name)).toString();
}

int number(const QVariantMap& params, const char* name)
{
    return params.value(QLatin1String(name)).toInt();
}

bool has(const QVariantMap& params, const char* name)
{
    return params.contains(QLatin1String(name));
}

QObject* toObject(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toQObject();
    return value.value<QObject*>();
}

// The point named by the members xName and yName in item's coordinates, or its centre when either
// is missing, as whole window pixels.
QPoint windowPoint(QQuickItem* item, const QVariantMap& params, const char* xName,
                   const char* yName)
{
    QPointF local(item->width() / 2, item->height() / 2);
    if (has(params, xName) && has(params, yName))
        local = QPointF(number(params, xName), number(params, yName));
    return item->mapToScene(local).toPoint();
}

} // namespace

UIRemoteControl::UIRemoteControl(QObject* rootObject, QQmlContext* rootContext, int port,
                                 QObject* fallbackWindow, QObject* parent)
    : QObject(parent), m_rootObject(rootObject), m_fallbackWindow(fallbackWindow),
      m_rootContext(rootContext), m_server(new QTcpServer(this))
{
    const quint16 listenPort = port >= 1 && port <= 65535 ? quint16(port) : quint16(kDefaultPort);
    if (!m_server->listen(QHostAddress::Any, listenPort))
        return;
    m_timer = std::make_shared<MyTimer>();
    connect(m_server, &QTcpServer::newConnection, this, &UIRemoteControl::HandleNewClientConnected);
}

UIRemoteControl::~UIRemoteControl() = default;

void UIRemoteControl::HandleNewClientConnected()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_clients.append(socket);
        connect(socket, &QTcpSocket::disconnected, this, &UIRemoteControl::ReleaseClient);
        connect(socket, &QTcpSocket::readyRead, this, &UIRemoteControl::ReadDataFromClient);
    }
}

void UIRemoteControl::ReleaseClient()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket)
        return;
    // Its queued messages stay and are dropped when their turn comes.
    m_clients.removeOne(socket);
    socket->deleteLater();
}

void UIRemoteControl::ReadDataFromClient()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket)
        return;
    const QByteArray batch = socket->readAll();
    for (const QByteArray& message : CRemoteMessageCodec::splitBatch(batch))
        m_queue.append({CRemoteMessageCodec::messageText(message), socket});
    if (!m_busy) {
        m_busy = true;
        ScheduleParse();
    }
}

void UIRemoteControl::ScheduleParse()
{
    // Later, from the event loop: a long queue never turns into deep recursion.
    QTimer::singleShot(0, this, &UIRemoteControl::ParseMessageAndDoControl);
}

void UIRemoteControl::ParseMessageAndDoControl()
{
    if (m_queue.isEmpty()) {
        m_busy = false;
        return;
    }
    const QueuedMessage message = m_queue.takeFirst();
    if (!isClient(message.socket)) {
        ScheduleParse();
        return;
    }
    ParsedMessageInfo info;
    if (!CRemoteMessageCodec::decode(message.text, &info)) {
        SendReply(message.socket, false, QVariant());
        ScheduleParse();
        return;
    }
    execute(info, message.socket);
}

bool UIRemoteControl::isClient(const QPointer<QTcpSocket>& socket) const
{
    return socket && m_clients.contains(socket.data());
}

void UIRemoteControl::execute(const ParsedMessageInfo& info, const QPointer<QTcpSocket>& socket)
{
    if (info.command.isEmpty()) {
        if (isClient(socket))
            SendReply(socket, false, QVariant());
        ScheduleParse();
        return;
    }
    if (!isClient(socket)) {
        ScheduleParse();
        return;
    }
    if (info.delay > 0 && m_timer) {
        // The queue stays held (busy) until the delayed message has run.
        ParsedMessageInfo now = info;
        now.delay = 0;
        if (m_timer->start(info.delay, [this, now, socket] { execute(now, socket); }))
            return;
    }
    QVariant value;
    const bool result = dispatch(info, value);
    // Commands may run nested event loops, during which the client may have gone.
    if (isClient(socket))
        SendReply(socket, result, CRemoteMessageCodec::toPlainVariant(value));
    ScheduleParse();
}

bool UIRemoteControl::dispatch(const ParsedMessageInfo& info, QVariant& value)
{
    const QString& command = info.command;
    const QVariantMap& params = info.params;
    if (command == QLatin1String("invoke"))
        return DoInvoke(params);
    if (command == QLatin1String("invokeret"))
        return DoInvokeRet(params, value);
    if (command == QLatin1String("getpro"))
        return DoGetProperty(params, value);
    if (command == QLatin1String("setpro"))
        return DoSetProperty(params);
    if (command == QLatin1String("click"))
        return DoClick(params, false);
    if (command == QLatin1String("dbclick"))
        return DoClick(params, true);
    if (command == QLatin1String("hover"))
        return DoHover(params);
    if (command == QLatin1String("drag"))
        return DoDrag(params);
    if (command == QLatin1String("drop"))
        return DoDrop(params);
    if (command == QLatin1String("press"))
        return DoPress(params);
    if (command == QLatin1String("keyclick"))
        return DoKeyClick(params);
    if (command == QLatin1String("waitsignal"))
        return DoWaitSignal(params);
    if (command == QLatin1String("getwinname"))
        return DoGetWinName(params, value);
    if (command == QLatin1String("emitpluginsignal"))
        return DoEmitPluginSignal(params);
    if (command == QLatin1String("movejoystick")) {
        DoMoveJoystick(params);
        return true;
    }
    if (command == QLatin1String("joystickbuttonevent")) {
        DoJoystickButtonEvent(params);
        return true;
    }
    if (command == QLatin1String("addjoystick")) {
        DoAddJoystick(params);
        return true;
    }
    // The model-reading names are part of the vocabulary but have no operation.
    return false;
}

// --- Targets ---

QObject* UIRemoteControl::objectPathTarget(const QVariantMap& params) const
{
    const QString path =
        CRemoteObjectFinder::pathText(text(params, "parobjname"), text(params, "objname"));
    return CRemoteObjectFinder::find(m_rootObject, path);
}

QObject* UIRemoteControl::methodAwareTarget(const QVariantMap& params)
{
    if (!has(params, "method"))
        return objectPathTarget(params);
    QVariant returned;
    if (!DoInvokeRet(params, returned))
        return nullptr;
    return toObject(returned);
}

QWindow* UIRemoteControl::findWindow(const QVariantMap& params) const
{
    const QString name = text(params, "winobjname");
    if (!name.isEmpty()) {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->objectName() == name)
                return window;
        }
    }
    return qobject_cast<QWindow*>(m_fallbackWindow.data());
}

QObject* UIRemoteControl::contextObject(const QString& name) const
{
    if (!m_rootContext || name.isEmpty())
        return nullptr;
    return toObject(m_rootContext->contextProperty(name));
}

bool UIRemoteControl::findWindowAndItem(const QVariantMap& params, QWindow** window,
                                        QQuickItem** item)
{
    *window = findWindow(params);
    if (!*window)
        return false;
    *item = qobject_cast<QQuickItem*>(methodAwareTarget(params));
    return *item != nullptr;
}

// --- Methods and properties ---

bool UIRemoteControl::invoke(const QVariantMap& params, QVariant* value)
{
    QObject* target = objectPathTarget(params);
    if (!target)
        return false;
    const QByteArray method = text(params, "method").toLocal8Bit();
    QVariantList arguments = params.value(QStringLiteral("mthargs")).toList();
    if (arguments.size() > kMaxMethodArguments)
        arguments.erase(arguments.begin() + kMaxMethodArguments, arguments.end());
    QGenericArgument args[kMaxMethodArguments];
    for (int i = 0; i < arguments.size(); ++i)
        args[i] = Q_ARG(QVariant, arguments[i]);
    QVariant returned;
    const QGenericReturnArgument returnArgument =
        value ? Q_RETURN_ARG(QVariant, returned) : QGenericReturnArgument();
    const bool called = QMetaObject::invokeMethod(
        target, method.constData(), Qt::DirectConnection, returnArgument, args[0], args[1], args[2],
        args[3], args[4], args[5], args[6], args[7], args[8], args[9]);
    if (value)
        *value = returned;
    return called;
}

bool UIRemoteControl::DoInvoke(const QVariantMap& params)
{
    return invoke(params, nullptr);
}

bool UIRemoteControl::DoInvokeRet(const QVariantMap& params, QVariant& value)
{
    return invoke(params, &value);
}

bool UIRemoteControl::DoGetProperty(const QVariantMap& params, QVariant& value)
{
    QObject* target = methodAwareTarget(params);
    if (!target)
        return false;
    value = QQmlProperty::read(target, text(params, "property"));
    return value.isValid();
}

bool UIRemoteControl::DoSetProperty(const QVariantMap& params)
{
    QObject* target = methodAwareTarget(params);
    if (!target)
        return false;
    return QQmlProperty::write(target, text(params, "property"),
                               params.value(QStringLiteral("propval")));
}

bool UIRemoteControl::DoGetWinName(const QVariantMap& params, QVariant& value)
{
    auto* item = qobject_cast<QQuickItem*>(methodAwareTarget(params));
    if (!item || !item->window())
        return false;
    value = item->window()->objectName();
    return true;
}

// --- Mouse and keys ---

bool UIRemoteControl::DoClick(const QVariantMap& params, bool doubleClick)
{
    QWindow* window = nullptr;
    QQuickItem* item = nullptr;
    if (!findWindowAndItem(params, &window, &item))
        return false;
    Qt::KeyboardModifiers modifiers;
    if (!CRemoteInput::modifiersFromValue(number(params, "keyboardModifier"), &modifiers))
        return false;
    CRemoteInput::mouse(window,
                        doubleClick ? CRemoteInput::MouseAction::DoubleClick
                                    : CRemoteInput::MouseAction::Click,
                        CRemoteInput::buttonFromName(text(params, "clickbtn")), modifiers,
                        windowPoint(item, params, "x", "y"));
    return true;
}

bool UIRemoteControl::DoHover(const QVariantMap& params)
{
    QWindow* window = nullptr;
    QQuickItem* item = nullptr;
    if (!findWindowAndItem(params, &window, &item))
        return false;
    CRemoteInput::mouse(window, CRemoteInput::MouseAction::Move, Qt::NoButton, Qt::NoModifier,
                        windowPoint(item, params, "x", "y"));
    return true;
}

bool UIRemoteControl::DoPress(const QVariantMap& params)
{
    QWindow* window = nullptr;
    QQuickItem* item = nullptr;
    if (!findWindowAndItem(params, &window, &item))
        return false;
    CRemoteInput::mouse(window, CRemoteInput::MouseAction::Press, Qt::LeftButton, Qt::NoModifier,
                        windowPoint(item, params, "x", "y"));
    return true;
}

bool UIRemoteControl::DoDrop(const QVariantMap& params)
{
    QWindow* window = nullptr;
    QQuickItem* item = nullptr;
    if (!findWindowAndItem(params, &window, &item))
        return false;
    CRemoteInput::mouse(window, CRemoteInput::MouseAction::Release, Qt::LeftButton, Qt::NoModifier,
                        windowPoint(item, params, "x", "y"));
    return true;
}

bool UIRemoteControl::DoDrag(const QVariantMap& params)
{
    QWindow* window = nullptr;
    QQuickItem* item = nullptr;
    if (!findWindowAndItem(params, &window, &item))
        return false;
    QPoint from;
    QPoint to;
    if (has(params, "from_x") && has(params, "from_y") && has(params, "to_x") &&
        has(params, "to_y")) {
        from = windowPoint(item, params, "from_x", "from_y");
        to = windowPoint(item, params, "to_x", "to_y");
    } else {
        from = windowPoint(item, QVariantMap(), "x", "y");
        to = windowPoint(item, params, "x", "y");
    }
    // No release: a following "drop" ends the drag.
    CRemoteInput::mouse(window, CRemoteInput::MouseAction::Press, Qt::LeftButton, Qt::NoModifier,
                        from);
    CRemoteInput::mouse(window, CRemoteInput::MouseAction::Move, Qt::NoButton, Qt::NoModifier, to);
    return true;
}

bool UIRemoteControl::DoKeyClick(const QVariantMap& params)
{
    QWindow* window = findWindow(params);
    if (!window)
        return false;
    const int key = number(params, "key");
    if (!CRemoteInput::isKeyCode(key))
        return false;
    CRemoteInput::keyClick(window, key,
                           Qt::KeyboardModifiers(uint(number(params, "keyboardModifier"))));
    return true;
}

// --- Signals ---

bool UIRemoteControl::DoWaitSignal(const QVariantMap& params)
{
    QObject* target = objectPathTarget(params);
    if (!target)
        target = contextObject(text(params, "objname"));
    if (!target)
        return false;
    const QByteArray signal = QByteArray::number(QSIGNAL_CODE) + text(params, "signal").toLatin1();
    QSignalSpy spy(target, signal.constData());
    if (!spy.isValid())
        return false;
    // A negative time-out would leave the nested loop without a timer, waiting for ever.
    const int timeout = qMax(0, number(params, "timeout"));
    return spy.wait(timeout);
}

// --- Plug-in and joystick ---

bool UIRemoteControl::DoEmitPluginSignal(const QVariantMap& params)
{
    if (QObject* plugin = contextObject(text(params, "pluginName")))
        QMetaObject::invokeMethod(plugin, text(params, "signalName").toLatin1().constData(),
                                  Qt::DirectConnection);
    return true;
}

void UIRemoteControl::DoMoveJoystick(const QVariantMap& params)
{
    QObject* joystick = contextObject(QStringLiteral("JoystickPlugin"));
    if (!joystick)
        return;
    QMetaObject::invokeMethod(joystick, "axisChanged", Qt::DirectConnection,
                              Q_ARG(double, params.value(QStringLiteral("pos_x")).toDouble()),
                              Q_ARG(double, params.value(QStringLiteral("pos_y")).toDouble()),
                              Q_ARG(double, params.value(QStringLiteral("pos_z")).toDouble()));
}

void UIRemoteControl::DoJoystickButtonEvent(const QVariantMap& params)
{
    QObject* joystick = contextObject(QStringLiteral("JoystickPlugin"));
    if (!joystick)
        return;
    QMetaObject::invokeMethod(joystick, "handleButtonEvent", Qt::DirectConnection,
                              Q_ARG(QString, text(params, "model_name")),
                              Q_ARG(int, number(params, "key_id")));
}

void UIRemoteControl::DoAddJoystick(const QVariantMap& params)
{
    QObject* joystick = contextObject(QStringLiteral("JoystickPlugin"));
    if (!joystick)
        return;
    QMetaObject::invokeMethod(
        joystick, "onDeviceChanged", Qt::DirectConnection,
        Q_ARG(QStringList, params.value(QStringLiteral("joystick_list")).toStringList()));
}

// --- Replies ---

void UIRemoteControl::SendReply(QTcpSocket* socket, bool result, const QVariant& value)
{
    if (socket)
        socket->write(CRemoteMessageCodec::encodeReply(result, value));
}
