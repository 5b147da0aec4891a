// Where things live: the application folder, paths written relative to it with a
// leading ":" (":Templates:Field Names"), and the user's configuration and data
// folders. Folder paths returned here end with "/", so folder + name is the child.
#pragma once

#include <string>

namespace tabulon {

// The folder holding the running program, ending in "/".
std::string executableFolder();

// The folder holding the application's resources: the folder of the running
// binary in a build tree (it has "Templates/" beside it), or <prefix>/share/tabulon/
// when installed (the binary in <prefix>/bin/ or <prefix>/libexec/tabulon/).
std::string applicationFolder();
void setApplicationFolderForTesting(const std::string& folder);

// A path beginning ":" is relative to the application folder and its ":"
// separators become "/"; any other path is native and returned unchanged.
std::string resolvePath(const std::string& path);

// `folder` ending with "/" (added when missing).
std::string asFolderPath(std::string folder);

// `folder` + `name`, with a separator added when the folder lacks its own.
std::string childPath(const std::string& folder, const std::string& name);

// $XDG_CONFIG_HOME, else ~/.config (with "/").
std::string configFolder();
// $XDG_DATA_HOME, else ~/.local/share (with "/").
std::string dataFolder();
// $XDG_STATE_HOME, else ~/.local/state (with "/").
std::string stateFolder();

}  // namespace tabulon
