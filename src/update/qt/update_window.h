// The "Online Updater" window: on Start it asks the maker's web server for the
// version file over a plain HTTP/1.0 request and says whether a newer version is
// out, offering to download it. The request carries nothing but a fixed address.
// The window opens at the place it is given and says where it stood when it
// closes; it answers the Close and Help menu items, asking whoever made it to
// show the help. Deletes itself when closed.
#pragma once

#include <QAbstractSocket>
#include <QPoint>
#include <QWidget>
#include <optional>
#include <string>

#include "platform/qt/menu_client.h"
#include "update/update_reply_buffer.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTcpSocket;

namespace tabulon {

class UpdateWindow : public QWidget, public MenuClient {
    Q_OBJECT
  public:
    // Opens with its top left corner at `position` when one is given.
    explicit UpdateWindow(std::optional<QPoint> position = std::nullopt);

    void Event_Open();
    void Event_Close();
    // Menu items. Each handler returns true (see MenuClient).
    bool _FileClose_Action();
    bool _HelpTabulonHelp_Action();

    void PushButton1_Action();
    void Socket1_Connected();
    void Socket1_DataAvailable();
    void Socket1_SendComplete() {}
    void Socket1_Error();
    void Parsedata();

    // The absolute address of the version file, and of the download.
    static QString updateAddress();
    static QString downloadAddress();

    QLabel* StaticText1;
    QLabel* StaticText2;
    QProgressBar* ProgressBar1;
    QPushButton* PushButton1;
    QTcpSocket* Socket1;

    UpdateReplyBuffer tempData;  // all received so far, line feeds removed
    double latestversionint = 0;

  signals:
    // Help > Tabulon Help was chosen while this window was in front.
    void helpRequested();
    // The window is closing; `position` is where it stood.
    void closing(QPoint position);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void AddMenuHandlers();
    void connectToServer();
    void showIdle(const QString& status);
    // Shows `status` in StaticText1, whole.
    void setStatus(const QString& status);
    void act(UpdateReplyBuffer::Action action);

    std::optional<QPoint> position_;
};

}  // namespace tabulon
