#include "cli/keyring_password.h"

#include <fcntl.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/app_paths.h"
#include "platform/secret_memory.h"

extern char** environ;

namespace tabulon {

std::string keyringPassword(const std::string& account) {
    std::string program = executableFolder() + "tabulon-keyring";
    if (::access(program.c_str(), X_OK) != 0) return "";
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return "";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Why the keyring could not be asked is its own affair: no password is what counts.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {program.data(), const_cast<char*>(account.c_str()), nullptr};
    pid_t pid = -1;
    int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string password;
    char buffer[256];
    ssize_t got = 0;
    while (spawned == 0 && password.size() < 4096 &&
           (got = ::read(out[0], buffer, sizeof buffer)) > 0)
        password.append(buffer, static_cast<size_t>(got));
    ::explicit_bzero(buffer, sizeof buffer);
    ::close(out[0]);
    int status = 0;
    if (spawned == 0) ::waitpid(pid, &status, 0);
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) wipe(&password);
    return password;
}

}  // namespace tabulon
