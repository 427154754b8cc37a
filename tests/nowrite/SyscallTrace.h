#pragma once

#include <QString>
#include <QStringList>
#include <set>
#include <string>
#include <vector>

// The file-system calls of one traced program, read from the log that `strace -f` wrote, and
// sorted into those of the program's own process (its first task and every thread it or its
// threads started) and those of the processes it started, which are not the program.
//
// Owns: the reading of the log (calls split across threads, thread and process creation) and
// the rule for what changes the file system. It does not run strace or the program; the tests
// do.
namespace slidevane::test {

class SyscallTrace {
public:
    struct Call {
        int task = 0;
        std::string name;
        std::string text; // the whole call as logged, arguments and result
        long long result = -1;
    };

    // The strace arguments that make a log this class reads.
    static QStringList TracerArguments(const QString& logFile);

    explicit SyscallTrace(const std::string& log);
    static SyscallTrace FromFile(const QString& logFile);

    // Calls of the program's own process that changed the file system: opened a file for
    // writing, or created, renamed, removed, linked, truncated or re-permissioned one.
    std::vector<Call> Changes() const;
    // The same kind of calls of its own process that the system refused (nothing changed).
    std::vector<Call> RefusedChanges() const;
    // Every completed call of its own process naming `fragment` in its arguments.
    std::vector<Call> Naming(const std::string& fragment) const;

    const std::set<int>& OwnTasks() const { return own_; }
    int ChildProcessCount() const { return static_cast<int>(children_.size()); }
    std::size_t CallCount() const { return calls_.size(); }

    static std::string Describe(const std::vector<Call>& calls);

private:
    static bool ChangesFiles(const Call& call);
    std::vector<Call> OwnChanges(bool succeeded) const;

    std::vector<Call> calls_;
    std::set<int> own_;
    std::set<int> children_;
};

} // namespace slidevane::test
