// The update window against a real web server: nginx on loopback serving the
// repository's own version file for the window's absolute-address request.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <filesystem>

#include "app/main_window_fixture.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

const char kNginx[] = "/usr/sbin/nginx";

class Nginx {
  public:
    explicit Nginx(const TempDir& dir) {
        {
            QTcpServer probe;  // a free port
            probe.listen(QHostAddress::LocalHost);
            port_ = probe.serverPort();
        }
        // Every path in the configuration is relative to the prefix.
        std::string prefix = dir.file("nginx/");
        std::filesystem::create_directories(prefix + "logs");
        writeFile(prefix + "nginx.conf",
                  "daemon off; master_process off; pid nginx.pid; error_log error.log;\n"
                  "events { worker_connections 16; }\n"
                  "http { access_log off; client_body_temp_path body; proxy_temp_path proxy;\n"
                  " fastcgi_temp_path fastcgi; uwsgi_temp_path uwsgi; scgi_temp_path scgi;\n"
                  " types { text/plain txt; }\n server { listen 127.0.0.1:" +
                      std::to_string(port_) + "; root " TABULON_SOURCE_DIR "/site; } }\n");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(kNginx, kNginx, "-p", prefix.c_str(), "-c", (prefix + "nginx.conf").c_str(),
                    "-e", "error.log", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        static_cast<void>(QTest::qWaitFor([this] { return listening(); }, 60000));
    }
    ~Nginx() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    bool listening() const {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        return socket.waitForConnected(200);
    }
    quint16 port() const { return port_; }

  private:
    quint16 port_ = 0;
    pid_t pid_ = -1;
};

using UpdateServerTest = MainWindowTest;

TEST_F(UpdateServerTest, RealServerNewerEqualAndOlder) {
    if (::access(kNginx, X_OK) != 0) GTEST_SKIP() << "nginx is not installed";
    Nginx nginx(dir);
    ASSERT_TRUE(nginx.listening());
    ::setenv("TABULON_UPDATE_ADDRESS", ("127.0.0.1:" + std::to_string(nginx.port())).c_str(), 1);
    struct Case {
        const char* running;
        const char* caption;
        const char* shown;
    };
    // The served file names version 1.0.
    for (const Case& c :
         {Case{"0.9", "Download", "A newer version (v1) is now available."},
          Case{"1.0", "Start", "Check for updates."}, Case{"1.1", "Start", "Check for updates."}}) {
        QApplication::setApplicationVersion(QLatin1String(c.running));
        UpdateWindow updater;
        updater.PushButton1->click();
        auto stopped = [&] { return updater.PushButton1->text() != QLatin1String("Stop"); };
        EXPECT_TRUE(QTest::qWaitFor(stopped, 60000)) << c.running;
        EXPECT_EQ(updater.PushButton1->text().toStdString(), c.caption) << c.running;
        QLabel* label = updater.StaticText2->isHidden() ? updater.StaticText1 : updater.StaticText2;
        EXPECT_EQ(label->text().toStdString(), c.shown) << c.running;
    }
    EXPECT_EQ(dialogLog(), (std::vector<std::string>{"message You have the latest version.",
                                                     "message You have the latest version."}));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    ::unsetenv("TABULON_UPDATE_ADDRESS");
}

}  // namespace
}  // namespace tabulon::test
