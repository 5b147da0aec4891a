#include "app/event_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "platform/event_client.h"

namespace tabulon {
namespace {

// A sender has this long to deliver its whole message.
constexpr int kMessageTimeoutMs = 10000;
constexpr int kMaxConnections = 32;
const char* const kBufferProperty = "tabulonBuffer";

bool fromOwner(QLocalSocket* socket) {
#ifdef SO_PEERCRED
    ucred peer{};
    socklen_t size = sizeof peer;
    int fd = static_cast<int>(socket->socketDescriptor());
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == ::getuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

void answer(QLocalSocket* socket, bool handled) {
    socket->write(QByteArray(1, handled ? kHandled : kNotHandled));
    socket->disconnectFromServer();
}

}  // namespace

EventServer::EventServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &EventServer::accept);
}

EventServer::~EventServer() = default;

QString EventServer::path() const {
    return server_->fullServerName();
}

bool EventServer::listen(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::setPermissions(QFileInfo(path).absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (server_->listen(path)) return true;
    // A socket file left by a Tabulon that ended without removing it.
    std::string error;
    if (sendEvent({"aevt", "ping", ""}, &error, QFile::encodeName(path).toStdString()) !=
        SendResult::kNoApp) {
        return false;
    }
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void EventServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_ >= kMaxConnections || !fromOwner(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        connect(socket, &QObject::destroyed, this, [this] { --connections_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(kMessageTimeoutMs, socket, [socket] {
            if (!socket->property(kBufferProperty).isValid()) return;  // answered meanwhile
            socket->abort();
            socket->deleteLater();
        });
        socket->setProperty(kBufferProperty, QByteArray());
        read(socket);
    }
}

void EventServer::read(QLocalSocket* socket) {
    QVariant pending = socket->property(kBufferProperty);
    if (!pending.isValid()) {  // answered already: ignore anything more
        socket->readAll();
        return;
    }
    QByteArray buffer = pending.toByteArray() + socket->readAll();
    ScriptingEvent event;
    DecodeResult result = decodeEvent(std::string_view(buffer.constData(), buffer.size()), &event);
    if (result == DecodeResult::kNeedMore) {
        socket->setProperty(kBufferProperty, buffer);
        return;
    }
    socket->setProperty(kBufferProperty, QVariant());
    if (result == DecodeResult::kMalformed) return answer(socket, false);
    // The handler may run a whole conversion in a nested event loop, during which
    // the sender may hang up and its socket be deleted: so it runs from the event
    // loop, not from inside this socket's signal, and answers only a live socket.
    QPointer<QLocalSocket> guarded(socket);
    QMetaObject::invokeMethod(
        this,
        [this, event, guarded] {
            handler_(event, [guarded](bool handled) {
                if (guarded) answer(guarded, handled);
            });
        },
        Qt::QueuedConnection);
}

}  // namespace tabulon
