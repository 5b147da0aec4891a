// Receives scripting events on the event socket and hands each to a handler,
// which answers when it is done (a conversion answers once its output is
// closed), with a text saying why when it did not handle the event. Only the
// owner may connect; anything malformed, oversized or too slow is answered "not
// handled" or dropped, and changes nothing.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <set>

#include "platform/scripting_event.h"
#include "platform/status.h"

class QLocalServer;
class QLocalSocket;

namespace tabulon {

class EventServer : public QObject {
    Q_OBJECT
  public:
    // `reason`: empty, or why the event was not handled, in a person's words.
    using Reply = std::function<void(bool handled, const QString& reason)>;
    using Handler = std::function<void(const ScriptingEvent& event, Reply reply)>;

    EventServer(Handler handler, QObject* parent = nullptr);
    ~EventServer() override;

    // Listens at `path`, in a folder private to this user (made when missing),
    // taking over a stale socket file; anything else in the way is left alone and
    // the error says what it is.
    Status listen(const std::string& path);
    QString path() const;

  private:
    void accept();
    void read(QLocalSocket* socket);
    void dropSendersThatLeft();

    Handler handler_;
    QLocalServer* server_;
    std::set<QLocalSocket*> connections_;
};

}  // namespace tabulon
