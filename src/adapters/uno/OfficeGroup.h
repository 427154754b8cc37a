#pragma once

#include <sys/types.h>
#include <vector>

// The processes of an office this program started: the launcher was given a session of its
// own, so the office and whatever it runs share the launcher's process id as their session and
// group. The group is recognised by both ids, read from each process, before anything is sent
// to it, so a number the system gave to another process later is never signalled.
//
// Owns: the group's id only; it starts nothing and reaps nothing.
namespace slidevane {

class OfficeGroup {
public:
    // `leader` is the launcher's process id; ids of 0 and 1 name no group of the program's.
    explicit OfficeGroup(pid_t leader) : leader_(leader) {}

    pid_t Leader() const { return leader_; }
    // The processes that are in the group and its session now.
    std::vector<pid_t> Members() const;
    bool Alive() const { return !Members().empty(); }
    // Kills every member, each by its own id.
    void Kill() const;

private:
    pid_t leader_;
};

} // namespace slidevane
