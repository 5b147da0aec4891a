// Between Qt's text and the file system's bytes: paths as the app keeps them
// (":"-relative or native) turned into native paths, and back.
#pragma once

#include <QFile>
#include <QString>
#include <string>

#include "platform/app_paths.h"

namespace tabulon {

// A path as kept by the app (":"-relative paths resolved) in file-system bytes.
inline std::string nativePath(const QString& path) {
    return resolvePath(QFile::encodeName(path).toStdString());
}

inline QString fromNative(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// `folder` + `name`, with the folder's separator added when it lacks one.
inline QString joinPath(const QString& folder, const QString& name) {
    return fromNative(
        childPath(QFile::encodeName(folder).toStdString(), QFile::encodeName(name).toStdString()));
}

}  // namespace tabulon
