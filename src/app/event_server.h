// Receives scripting events on the event socket and hands each to a handler,
// which answers when it is done (a conversion answers once its output is
// closed). Only the owner may connect; anything malformed, oversized or too slow
// is answered "not handled" or dropped, and changes nothing.
#pragma once

#include <QObject>
#include <functional>

#include "platform/scripting_event.h"

class QLocalServer;
class QLocalSocket;

namespace tabulon {

class EventServer : public QObject {
    Q_OBJECT
  public:
    using Reply = std::function<void(bool handled)>;
    using Handler = std::function<void(const ScriptingEvent& event, Reply reply)>;

    EventServer(Handler handler, QObject* parent = nullptr);
    ~EventServer() override;

    // Listens at `path`, taking over a socket file that nobody answers at.
    bool listen(const QString& path);
    QString path() const;

  private:
    void accept();
    void read(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_;
    int connections_ = 0;
};

}  // namespace tabulon
