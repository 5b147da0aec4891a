// The maker's addresses: its web server, whose host is a build option
// (TABULON_MAKER_HOST) with a reserved example name as default, its e-mail and
// its postal address.
#pragma once

#include <QString>

#ifndef TABULON_MAKER_HOST
#define TABULON_MAKER_HOST "www.tabulon.example"
#endif

namespace tabulon {

inline QString makerHost() {
    return QStringLiteral(TABULON_MAKER_HOST);
}
// The address of `path` on the maker's web server: "http://<host><path>".
inline QString makerAddress(const QString& path = QStringLiteral("/")) {
    return QStringLiteral("http://") + makerHost() + path;
}
inline QString makerEmail() {
    return QStringLiteral("info@tabulon.example");
}
inline QString makerMailAddress() {
    return QStringLiteral("mailto:") + makerEmail();
}
inline QString makerPostalAddress() {
    return QStringLiteral("Tabulon Software\n1 Example Street\nExampletown 00000");
}

}  // namespace tabulon
