// The maker's addresses. The host is a build option (TABULON_MAKER_HOST) whose
// default is a reserved example name.
#pragma once

#include <QString>

#ifndef TABULON_MAKER_HOST
#define TABULON_MAKER_HOST "www.tabulon.example"
#endif

namespace tabulon {

inline QString makerHost() {
    return QStringLiteral(TABULON_MAKER_HOST);
}
inline QString makerWebAddress() {
    return QStringLiteral("http://") + makerHost() + QLatin1Char('/');
}
inline QString makerEmail() {
    return QStringLiteral("info@tabulon.example");
}
inline QString makerPostalAddress() {
    return QStringLiteral("Tabulon Software\n1 Example Street\nExampletown 00000");
}

}  // namespace tabulon
