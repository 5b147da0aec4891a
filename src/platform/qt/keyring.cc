#include "platform/qt/keyring.h"

#include <qt6keychain/keychain.h>
#include <QCoreApplication>
#include <QTimer>
#include <memory>

namespace tabulon {
namespace {

// The name the app's passwords go by in the keyring.
constexpr char kService[] = "Tabulon mailbox";
// A keyring that has not answered by then (no Secret Service, a locked
// collection nobody unlocks) is told as not available.
constexpr int kAnswerMs = 3000;

// Said to the user in their words; the keyring's own reason is for the log.
QString unavailable(const QString& why) {
    qWarning("tabulon: the desktop's keyring is not available: %s", qPrintable(why));
    return QStringLiteral(
        "The password cannot be remembered: this desktop has no keyring that Tabulon can use, "
        "so it is asked for each time.");
}

// Starts `job` and calls `done` once: when the job ends, with its error as a
// note (none for an entry not found), or with a note when it does not end in
// time.
void run(QKeychain::Job* job, std::function<void(QKeychain::Job* job, const QString& note)> done) {
    auto answered = std::make_shared<bool>(false);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never a file
    QObject::connect(job, &QKeychain::Job::finished, job, [answered, done](QKeychain::Job* ended) {
        if (*answered) return;
        *answered = true;
        QKeychain::Error error = ended->error();
        bool fine = error == QKeychain::NoError || error == QKeychain::EntryNotFound;
        done(ended, fine ? QString() : unavailable(ended->errorString()));
    });
    QTimer::singleShot(kAnswerMs, QCoreApplication::instance(), [answered, done] {
        if (*answered) return;
        *answered = true;
        done(nullptr, unavailable(QStringLiteral("it did not answer")));
    });
    job->start();
}

class DesktopKeyring : public Keyring {
  public:
    void read(const QString& account, ReadFn done) override {
        auto* job = new QKeychain::ReadPasswordJob(QLatin1String(kService));
        job->setKey(account);
        run(job, [done](QKeychain::Job* ended, const QString& note) {
            auto* reading = qobject_cast<QKeychain::ReadPasswordJob*>(ended);
            done(reading != nullptr && note.isEmpty() ? reading->textData() : QString(), note);
        });
    }
    void write(const QString& account, const QString& password, DoneFn done) override {
        auto* job = new QKeychain::WritePasswordJob(QLatin1String(kService));
        job->setKey(account);
        job->setTextData(password);
        run(job, [done](QKeychain::Job*, const QString& note) { done(note); });
    }
    void remove(const QString& account, DoneFn done) override {
        auto* job = new QKeychain::DeletePasswordJob(QLatin1String(kService));
        job->setKey(account);
        run(job, [done](QKeychain::Job*, const QString& note) { done(note); });
    }
};

std::unique_ptr<Keyring>& current() {
    static std::unique_ptr<Keyring> keyring;
    return keyring;
}

}  // namespace

Keyring& keyring() {
    if (!current()) current() = std::make_unique<DesktopKeyring>();
    return *current();
}

void setKeyring(std::unique_ptr<Keyring> replacement) {
    current() = std::move(replacement);
}

}  // namespace tabulon
