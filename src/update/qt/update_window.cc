#include "update/qt/update_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>
#include <string_view>

#include "platform/qt/accessible_role.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/links.h"
#include "platform/qt/maker.h"
#include "platform/qt/placed_control.h"
#include "platform/qt/window_place.h"
#include "platform/text.h"
#include "update/update_reply.h"

namespace tabulon {

QString UpdateWindow::updateAddress() {
    return makerAddress(QStringLiteral("/downloads/update/tabulon.txt"));
}

QString UpdateWindow::downloadAddress() {
    return makerAddress(QStringLiteral("/downloads/shareware/tabulon.zip"));
}

UpdateWindow::UpdateWindow(std::optional<QPoint> position) : position_(position) {
    setObjectName(QStringLiteral("UpdateWindow"));
    setWindowTitle(QStringLiteral("Online Updater"));
    setAccessibleRole(this, QAccessible::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(295, 70);
    StaticText1 = placed(new QLabel(QStringLiteral("Check for Updates")), "StaticText1", this,
                         QRect(13, 13, 183, 16));
    StaticText2 = placed(new QLabel(QStringLiteral("There is a newer version available.")),
                         "StaticText2", this, QRect(13, 13, 269, 16));
    StaticText2->hide();
    ProgressBar1 = placed(new QProgressBar, "ProgressBar1", this, QRect(13, 41, 177, 12));
    ProgressBar1->setRange(0, 0);  // indeterminate
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    PushButton1 = placed(new QPushButton(QStringLiteral("Start")), "PushButton1", this,
                         QRect(204, 37, 78, 20));
    Socket1 = new QTcpSocket(this);
    Socket1->setObjectName(QStringLiteral("Socket1"));
    connect(PushButton1, &QPushButton::clicked, this, &UpdateWindow::PushButton1_Action);
    connect(Socket1, &QTcpSocket::connected, this, &UpdateWindow::Socket1_Connected);
    connect(Socket1, &QTcpSocket::readyRead, this, &UpdateWindow::Socket1_DataAvailable);
    connect(Socket1, &QTcpSocket::bytesWritten, this, &UpdateWindow::Socket1_SendComplete);
    connect(Socket1, &QTcpSocket::errorOccurred, this, &UpdateWindow::Socket1_Error);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    AddMenuHandlers();
    Event_Open();
}

void UpdateWindow::Event_Open() {
    if (position_) setGeometry(QRect(placeOnScreen(*position_, size()), size()));
}

void UpdateWindow::Event_Close() {
    emit closing(geometry().topLeft());
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    Socket1->abort();
    Event_Close();
    event->accept();
}

void UpdateWindow::AddMenuHandlers() {
    addMenuHandler(menu_item::kFileClose, [this] { return _FileClose_Action(); });
    addMenuHandler(menu_item::kHelpTabulonHelp, [this] { return _HelpTabulonHelp_Action(); });
}

bool UpdateWindow::_FileClose_Action() {
    close();
    return true;
}

bool UpdateWindow::_HelpTabulonHelp_Action() {
    emit helpRequested();
    return true;
}

void UpdateWindow::PushButton1_Action() {
    QString caption = PushButton1->text();
    if (caption.compare(QLatin1String("Start"), Qt::CaseInsensitive) == 0) {
        PushButton1->setText(QStringLiteral("Stop"));
        setStatus(QStringLiteral("Checking for updates..."));
        ProgressBar1->show();
        tempData.startCheck();
        connectToServer();
    } else if (caption.compare(QLatin1String("Stop"), Qt::CaseInsensitive) == 0) {
        showIdle(QStringLiteral("Check for updates"));
        ProgressBar1->hide();
        Socket1->abort();
    } else {
        openLink(this, QUrl(downloadAddress()));
    }
}

// The maker's host on port 80, or TABULON_UPDATE_ADDRESS=HOST:PORT.
void UpdateWindow::connectToServer() {
    QString host = makerHost();
    quint16 port = 80;
    QString address = qEnvironmentVariable("TABULON_UPDATE_ADDRESS");
    int colon = address.lastIndexOf(QLatin1Char(':'));
    if (colon > 0) {
        host = address.left(colon);
        port = static_cast<quint16>(address.mid(colon + 1).toUInt());
    }
    Socket1->abort();
    Socket1->connectToHost(host, port);
}

void UpdateWindow::Socket1_Connected() {
    QByteArray request = "GET " + updateAddress().toUtf8() + " HTTP/1.0\r\n\r\n";
    Socket1->write(request);
}

void UpdateWindow::Socket1_DataAvailable() {
    QByteArray data = Socket1->readAll();
    act(tempData.add(std::string_view(data.constData(), static_cast<size_t>(data.size()))));
}

void UpdateWindow::Socket1_Error() {
    ProgressBar1->hide();
    Socket1->abort();
    act(tempData.closed());
}

void UpdateWindow::act(UpdateReplyBuffer::Action action) {
    switch (action) {
        case UpdateReplyBuffer::Action::kNone:
            break;
        case UpdateReplyBuffer::Action::kDecide:
            Parsedata();
            break;
        case UpdateReplyBuffer::Action::kDecideAndStop:
            Parsedata();
            ProgressBar1->hide();
            Socket1->abort();
            break;
        case UpdateReplyBuffer::Action::kUnreachable:
            showIdle(QStringLiteral("The update server could not be reached."));
            break;
    }
}

void UpdateWindow::setStatus(const QString& status) {
    // One line in its place beside the button; a longer text wraps onto the lines
    // below, where the progress bar stands only while checking.
    constexpr int kLeft = 13, kTop = 13, kWidth = 183, kLineHeight = 16;
    QFontMetrics metrics(StaticText1->font());
    bool oneLine = metrics.horizontalAdvance(status) <= kWidth;
    int height =
        oneLine
            ? kLineHeight
            : metrics.boundingRect(QRect(0, 0, kWidth, this->height()), Qt::TextWordWrap, status)
                  .height();
    StaticText1->setWordWrap(!oneLine);
    StaticText1->setAlignment(oneLine ? Qt::AlignLeft | Qt::AlignVCenter
                                      : Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setGeometry(kLeft, kTop, kWidth, std::max(height, kLineHeight));
    StaticText1->setText(status);
}

void UpdateWindow::showIdle(const QString& status) {
    PushButton1->setText(QStringLiteral("Start"));
    StaticText2->hide();
    setStatus(status);
    StaticText1->show();
}

void UpdateWindow::Parsedata() {
    double running = Val(QApplication::applicationVersion().toStdString());
    UpdateVerdict verdict = parseUpdateReply(tempData.text(), running);
    latestversionint = verdict.latest;
    if (verdict.kind == UpdateVerdict::Kind::kNewer) {
        StaticText1->hide();
        PushButton1->setText(QStringLiteral("Download"));
        StaticText2->setText(QStringLiteral("A newer version (v") +
                             QString::fromStdString(Str(latestversionint)) +
                             QStringLiteral(") is now available."));
        StaticText2->show();
        return;
    }
    dialogs().message(this, verdict.kind == UpdateVerdict::Kind::kLatest
                                ? QStringLiteral("You have the latest version.")
                                : QStringLiteral("The latest version number could not be read "
                                                 "from the update server's reply."));
    PushButton1->setText(QStringLiteral("Start"));
    setStatus(QStringLiteral("Check for updates."));
}

}  // namespace tabulon
