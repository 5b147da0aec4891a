// Where the app keeps a password the user asks it to remember: the desktop's
// keyring (its Secret Service, through QtKeychain), or memory in tests. Never a
// file. Calls return at once; the answer comes later from the event loop of the
// calling thread, and always comes: a keyring that does not answer in time is
// told as not available.
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace tabulon {

class Keyring {
  public:
    virtual ~Keyring() = default;

    // `done` gets the password kept for `account`, "" when none is; and "" or a
    // short note saying why the keyring could not be asked.
    using ReadFn = std::function<void(const QString& password, const QString& note)>;
    // `done` gets "" or a short note saying why nothing was changed.
    using DoneFn = std::function<void(const QString& note)>;

    virtual void read(const QString& account, ReadFn done) = 0;
    virtual void write(const QString& account, const QString& password, DoneFn done) = 0;
    virtual void remove(const QString& account, DoneFn done) = 0;
};

// The desktop's keyring unless tests replaced it.
Keyring& keyring();
// Replaces it (tests); the previous one is destroyed.
void setKeyring(std::unique_ptr<Keyring> replacement);

}  // namespace tabulon
