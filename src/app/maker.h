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

}  // namespace tabulon
