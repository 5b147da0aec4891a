// The update window against scripted servers on loopback: what it sends, and
// what it shows for each kind of reply, including the misbehaving ones.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/main_window_fixture.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

using Lines = std::vector<std::string>;

// Plays the update server: records the request, then sends the pieces of its
// reply (each after a short pause) and closes, unless told to stay silent.
class ScriptedServer {
  public:
    ScriptedServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { serve(); });
    }
    quint16 port() const { return server_.serverPort(); }

    std::vector<QByteArray> pieces;
    bool closeAfter = true;
    QByteArray request;

  private:
    void serve() {
        QTcpSocket* peer = server_.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [this, peer] {
            request += peer->readAll();
            if (!request.endsWith("\r\n\r\n")) return;
            int delay = 0;
            for (const QByteArray& piece : pieces) {
                QTimer::singleShot(delay += 20, peer, [peer, piece] { peer->write(piece); });
            }
            if (closeAfter) {
                QTimer::singleShot(delay + 20, peer, [peer] { peer->disconnectFromHost(); });
            }
        });
    }

    QTcpServer server_;
};

class UpdateWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QApplication::setApplicationVersion(QStringLiteral("1.0"));
        updater = new UpdateWindow;
        useServer(server.port());
    }
    void TearDown() override {
        delete updater;
        ::unsetenv("TABULON_UPDATE_ADDRESS");
        MainWindowTest::TearDown();
    }
    void useServer(quint16 port) {
        ::setenv("TABULON_UPDATE_ADDRESS", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    }
    // Presses Start and waits until the check has come to an end.
    void check() {
        updater->PushButton1->click();
        waitForEvents([this] { return updater->PushButton1->text() != QLatin1String("Stop"); });
        waitForEvents([this] { return updater->ProgressBar1->isHidden(); });
    }
    std::string status() const { return updater->StaticText1->text().toStdString(); }
    std::string caption() const { return updater->PushButton1->text().toStdString(); }

    ScriptedServer server;
    UpdateWindow* updater = nullptr;
};

TEST_F(UpdateWindowTest, AnswersCloseAndHelp) {
    Window1& w = open();
    delete updater;
    updater = w.newUpdateWindow();  // placed by the main window, which keeps its place
    w.menu->refresh();
    EXPECT_TRUE(updater->handleMenuItem(QStringLiteral("HelpTabulonHelp")));
    // No help document in this scratch app folder: said so, nothing handed out.
    EXPECT_TRUE(openedUrls.empty());
    ASSERT_FALSE(dialogLog().empty());
    EXPECT_NE(dialogLog().back().find("could not be read"), std::string::npos);
    EXPECT_FALSE(updater->handleMenuItem(QStringLiteral("FileOpen")));
    updater->setGeometry(QRect(QPoint(70, 80), updater->size()));
    QPointer<UpdateWindow> watched(updater);
    EXPECT_TRUE(updater->handleMenuItem(QStringLiteral("FileClose")));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    updater = nullptr;
    EXPECT_EQ(QPoint(w.myProgressleft, w.myProgresstop), QPoint(70, 80));
}

TEST_F(UpdateWindowTest, NewerVersionInPiecesOffersTheDownload) {
    server.pieces = {"HTTP/1.0 200 OK\r\n\r\nAppVer", "sion: 1.2\r\nApp", "Name: Tabulon\r\n"};
    check();
    EXPECT_EQ(server.request.toStdString(),
              "GET http://www.tabulon.example/downloads/update/tabulon.txt HTTP/1.0\r\n\r\n");
    EXPECT_EQ(caption(), "Download");
    EXPECT_TRUE(updater->StaticText1->isHidden());
    EXPECT_EQ(updater->StaticText2->text().toStdString(),
              "A newer version (v1.2) is now available.");
    EXPECT_EQ(updater->tempData.text().find('\n'), std::string::npos);
    EXPECT_TRUE(dialogLog().empty());
    updater->PushButton1->click();
    updater->PushButton1->click();  // every press opens the download again
    EXPECT_EQ(openedUrls, (Lines{"http://www.tabulon.example/downloads/shareware/tabulon.zip",
                                 "http://www.tabulon.example/downloads/shareware/tabulon.zip"}));
}

TEST_F(UpdateWindowTest, HugeRepliesAreCut) {
    server.pieces = {"HTTP/1.0 200 OK\r\n\r\n" + QByteArray(100 << 20, 'x')};
    check();
    EXPECT_LE(updater->tempData.text().size(), 64u * 1024);
    EXPECT_EQ(dialogLog().size(), 1u);
}

// A reply without a version says so; stopping a server that trickles or says
// nothing ends the check at once, without a message.
TEST_F(UpdateWindowTest, BrokenRepliesAndStoppedChecks) {
    server.pieces = {"HTTP/1.0 200 OK\r\n\r\nAppVersion: 1.2\r\nApp"};  // closes mid-reply
    check();
    EXPECT_EQ(dialogLog(), (Lines{"message The latest version number could not be read from the "
                                  "update server's reply."}));

    server.closeAfter = false;
    for (const QByteArray& trickle : {QByteArray(), QByteArray("HTTP/1.0 200 OK")}) {
        size_t before = updater->tempData.text().size();
        server.request.clear();
        server.pieces.clear();
        for (char byte : trickle)
            server.pieces.push_back(QByteArray(1, byte));
        updater->PushButton1->click();
        waitForEvents([this] { return !server.request.isEmpty(); });
        waitForEvents([&] { return updater->tempData.text().size() == before + trickle.size(); });
        EXPECT_EQ(caption(), "Stop");
        EXPECT_EQ(status(), "Checking for updates...");
        updater->PushButton1->click();
        EXPECT_EQ(caption(), "Start");
        EXPECT_EQ(status(), "Check for updates");
        EXPECT_TRUE(updater->ProgressBar1->isHidden());
    }
    EXPECT_EQ(dialogLog().size(), 1u);  // stopping says nothing
}

// Every label shown holds its whole text inside the window, clear of the controls.
void expectTextsReadable(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window)) continue;
        SCOPED_TRACE(label->text().toStdString());
        int flags =
            static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        QRect needed =
            label->fontMetrics().boundingRect(label->contentsRect(), flags, label->text());
        EXPECT_TRUE(label->contentsRect().contains(needed))
            << needed.width() << "x" << needed.height();
        EXPECT_TRUE(window->rect().contains(label->geometry()));
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control == label || qobject_cast<QLabel*>(control) || !control->isVisibleTo(window))
                continue;
            EXPECT_FALSE(label->geometry().intersects(control->geometry()))
                << control->objectName().toStdString();
        }
    }
}

TEST_F(UpdateWindowTest, UnreachableServerAndEveryStatusReadableWhole) {
    expectTextsReadable(updater);  // idle
    server.closeAfter = false;
    updater->PushButton1->click();
    expectTextsReadable(updater);  // checking
    updater->PushButton1->click();
    expectTextsReadable(updater);  // stopped
    quint16 closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        closedPort = probe.serverPort();
    }
    useServer(closedPort);
    check();
    ASSERT_EQ(status(), "The update server could not be reached.");
    EXPECT_EQ(caption(), "Start");
    EXPECT_TRUE(dialogLog().empty());
    expectTextsReadable(updater);
    updater->tempData = UpdateReplyBuffer("AppVersion: 1.0\rAppName: Tabulon\r");
    updater->Parsedata();  // the latest
    expectTextsReadable(updater);
    updater->tempData = UpdateReplyBuffer("AppVersion: 12.25\rAppName: Tabulon\r");
    updater->Parsedata();  // a newer one
    expectTextsReadable(updater);
}

TEST_F(UpdateWindowTest, SecondCheckAppendsToTheFirstReply) {
    server.pieces = {"HTTP/1.0 200 OK\r\n\r\nAppVersion: 1.0\r\nAppName: T\r\n"};
    check();
    server.pieces = {"HTTP/1.0 200 OK\r\n\r\nAppVersion: 3.0\r\nAppName: T\r\n"};
    check();  // the first reply's version still decides
    EXPECT_EQ(dialogLog(), (Lines{"message You have the latest version.",
                                  "message You have the latest version."}));
    EXPECT_NE(updater->tempData.text().find("3.0"), std::string::npos);
    EXPECT_EQ(caption(), "Start");
    EXPECT_EQ(status(), "Check for updates.");
}

}  // namespace
}  // namespace tabulon::test
