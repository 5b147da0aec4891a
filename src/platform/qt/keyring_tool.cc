// tabulon-keyring ACCOUNT: writes on standard output the password the app keeps
// in the desktop's keyring for ACCOUNT ("user@server", as its mailbox dialog
// names it), for tabulon-convert, which links no Qt. Exit status 0 when one was
// written; 1, with nothing written, when none is kept or the keyring cannot be
// asked (in time). Not meant to be started by hand.
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "platform/qt/keyring.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Usage: tabulon-keyring ACCOUNT\n", stderr);
        return 2;
    }
    int exitCode = 1;
    QString account = QString::fromUtf8(argv[1]);
    QTimer::singleShot(0, &app, [&] {
        tabulon::keyring().read(account, [&](const QString& password, const QString&) {
            QByteArray bytes = password.toUtf8();
            if (!bytes.isEmpty() && ::write(STDOUT_FILENO, bytes.constData(),
                                            static_cast<size_t>(bytes.size())) == bytes.size())
                exitCode = 0;
            bytes.fill('\0');
            app.quit();
        });
    });
    app.exec();
    return exitCode;
}
