#include "app/qt/event_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <vector>

#include "platform/private_folder.h"
#include "platform/qt/qt_paths.h"
#include "platform/socket_path.h"
#include "platform/socket_peer.h"

namespace tabulon {
namespace {

// A sender has this long to deliver its whole message.
constexpr int kMessageTimeoutMs = 10000;
constexpr size_t kMaxConnections = 32;
const char* const kBufferProperty = "tabulonBuffer";

int descriptor(QLocalSocket* socket) {
    return static_cast<int>(socket->socketDescriptor());
}

void answer(QLocalSocket* socket, bool handled, const QString& reason = {}) {
    QByteArray text = reason.toUtf8().left(static_cast<qsizetype>(kMaxReplyText));
    socket->write(QByteArray(1, handled ? kHandled : kNotHandled) + text);
    socket->disconnectFromServer();
}

// A socket still waiting for (the rest of) its message.
bool waitingForMessage(QLocalSocket* socket) {
    return socket->property(kBufferProperty).isValid();
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

Status EventServer::listen(const std::string& path) {
    Status status = makePrivateFolder(folderOf(path));
    if (status.ok()) status = clearStaleSocket(path);
    if (!status.ok()) return status;
    if (!server_->listen(fromNative(path))) {
        return Status::IoError("Cannot listen at \"" + path +
                               "\": " + server_->errorString().toStdString());
    }
    return Status::Ok();
}

// Senders that hung up before their message was complete: their place is free,
// even when the event loop has not yet told their sockets so.
void EventServer::dropSendersThatLeft() {
    std::vector<QLocalSocket*> left;
    for (QLocalSocket* socket : connections_) {
        if (waitingForMessage(socket) && socket->bytesAvailable() == 0 &&
            peerHasLeft(descriptor(socket))) {
            left.push_back(socket);
        }
    }
    for (QLocalSocket* socket : left) {
        connections_.erase(socket);
        socket->setProperty(kBufferProperty, QVariant());
        socket->abort();
        socket->deleteLater();
    }
}

void EventServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_.size() >= kMaxConnections) dropSendersThatLeft();
        if (connections_.size() >= kMaxConnections || !peerIsThisUser(descriptor(socket))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.insert(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { connections_.erase(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(kMessageTimeoutMs, socket, [socket] {
            if (!waitingForMessage(socket)) return;  // answered meanwhile
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
    if (result == DecodeResult::kMalformed) return answer(socket, false, {});
    // The handler may run a whole conversion in a nested event loop, during which
    // the sender may hang up and its socket be deleted: so it runs from the event
    // loop, not from inside this socket's signal, and answers only a live socket.
    QPointer<QLocalSocket> guarded(socket);
    QMetaObject::invokeMethod(
        this,
        [this, event, guarded] {
            handler_(event, [guarded](bool handled, const QString& reason) {
                if (guarded) answer(guarded, handled, reason);
            });
        },
        Qt::QueuedConnection);
}

}  // namespace tabulon
