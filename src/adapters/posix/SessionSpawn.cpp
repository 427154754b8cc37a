#include "adapters/posix/SessionSpawn.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>

extern char** environ;

namespace slidevane {

namespace {

void Direct(posix_spawn_file_actions_t& files, int target, int source, int nullMode) {
    if (source == SessionSpawn::Null) {
        posix_spawn_file_actions_addopen(&files, target, "/dev/null", nullMode, 0);
    } else if (source != SessionSpawn::Inherit) {
        posix_spawn_file_actions_adddup2(&files, source, target);
    }
}

} // namespace

pid_t SessionSpawn::Start(const std::vector<std::string>& arguments, Streams streams, int& error) {
    if (arguments.empty()) {
        error = ENOENT;
        return -1;
    }
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    Direct(files, 0, streams.input, O_RDONLY);
    Direct(files, 1, streams.output, O_WRONLY);
    Direct(files, 2, streams.error, O_WRONLY);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    error = posix_spawnp(&pid, argv[0], &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return error == 0 ? pid : -1;
}

} // namespace slidevane
