#include "OfficeGroup.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>

namespace slidevane {

namespace {

// The group and session of process `pid` from /proc/PID/stat, whose second field (the name)
// may itself hold spaces and parentheses: the fields after it follow the last ')'.
bool GroupAndSession(pid_t pid, pid_t& group, pid_t& session) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) {
        return false;
    }
    std::size_t const end = line.rfind(')');
    if (end == std::string::npos) {
        return false;
    }
    char state = 0;
    int parent = 0;
    int pgrp = 0;
    int sid = 0;
    if (std::sscanf(line.c_str() + end + 1, " %c %d %d %d", &state, &parent, &pgrp, &sid) != 4) {
        return false;
    }
    group = pgrp;
    session = sid;
    return state != 'Z';
}

} // namespace

std::vector<pid_t> OfficeGroup::Members() const {
    std::vector<pid_t> members;
    if (leader_ <= 1) {
        return members;
    }
    DIR* const proc = opendir("/proc");
    if (proc == nullptr) {
        return members;
    }
    while (dirent const* entry = readdir(proc)) {
        char* end = nullptr;
        long const pid = std::strtol(entry->d_name, &end, 10);
        pid_t group = 0;
        pid_t session = 0;
        if (*end == '\0' && pid > 1 && GroupAndSession(static_cast<pid_t>(pid), group, session) &&
            group == leader_ && session == leader_) {
            members.push_back(static_cast<pid_t>(pid));
        }
    }
    closedir(proc);
    return members;
}

void OfficeGroup::Kill() const {
    for (pid_t const member : Members()) {
        kill(member, SIGKILL);
    }
}

} // namespace slidevane
