#include "SyscallTrace.h"

#include <QFile>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

namespace slidevane::test {

namespace {

// Calls that change the file system whenever they succeed.
const std::set<std::string> Changing = {
    "creat",     "mkdir",    "mkdirat",   "rename",      "renameat",    "renameat2",
    "unlink",    "unlinkat", "rmdir",     "link",        "linkat",      "symlink",
    "symlinkat", "truncate", "mknod",     "mknodat",     "chmod",       "fchmodat",
    "chown",     "lchown",   "fchownat",  "utime",       "utimes",      "utimensat",
    "futimesat", "setxattr", "lsetxattr", "removexattr", "lremovexattr"};
const std::set<std::string> Opening = {"open", "openat", "openat2"};

const std::regex WriteFlags(R"(\bO_(WRONLY|RDWR|CREAT|TRUNC)\b)");

std::string FirstQuoted(const std::string& text) {
    std::size_t const open = text.find('"');
    std::size_t const close = open == std::string::npos ? open : text.find('"', open + 1);
    return close == std::string::npos ? std::string() : text.substr(open + 1, close - open - 1);
}

// A device is opened read-write to talk to it (/dev/null, a terminal), which leaves nothing
// behind; shared memory under /dev/shm is a file like any other.
bool IsDevice(const std::string& path) {
    return path.rfind("/dev/", 0) == 0 && path.rfind("/dev/shm/", 0) != 0;
}

bool StartsThread(const SyscallTrace::Call& call) {
    return (call.name == "clone" || call.name == "clone3") &&
           call.text.find("CLONE_THREAD") != std::string::npos && call.result > 0;
}

bool StartsProcess(const SyscallTrace::Call& call) {
    return (call.name == "clone" || call.name == "clone3" || call.name == "fork" ||
            call.name == "vfork") &&
           call.text.find("CLONE_THREAD") == std::string::npos && call.result > 0;
}

} // namespace

QStringList SyscallTrace::TracerArguments(const QString& logFile) {
    // -f follows threads and processes alike; the log tells them apart by their creation.
    // Full-length strings, so that every path is whole.
    return {QStringLiteral("-f"), QStringLiteral("-qq"),
            QStringLiteral("-s"), QStringLiteral("4096"),
            QStringLiteral("-o"), logFile,
            QStringLiteral("-e"), QStringLiteral("trace=%file,%process"),
            QStringLiteral("-e"), QStringLiteral("signal=none")};
}

SyscallTrace SyscallTrace::FromFile(const QString& logFile) {
    QFile file(logFile);
    return SyscallTrace(file.open(QIODevice::ReadOnly) ? file.readAll().toStdString()
                                                       : std::string());
}

SyscallTrace::SyscallTrace(const std::string& log) {
    std::map<int, std::string> unfinished;
    std::istringstream lines(log);
    std::string line;
    int first = 0;
    while (std::getline(lines, line)) {
        std::size_t const space = line.find(' ');
        if (space == std::string::npos) {
            continue;
        }
        int const task = std::atoi(line.c_str());
        std::string text = line.substr(line.find_first_not_of(' ', space));
        if (task <= 0 || text.rfind("+++", 0) == 0 || text.rfind("---", 0) == 0) {
            continue;
        }
        if (first == 0) {
            first = task;
        }
        // A call that another task interrupted is logged in two halves.
        if (std::size_t const cut = text.find(" <unfinished ...>"); cut != std::string::npos) {
            unfinished[task] = text.substr(0, cut);
            continue;
        }
        if (text.rfind("<... ", 0) == 0) {
            std::size_t const resumed = text.find(" resumed>");
            if (resumed == std::string::npos || !unfinished.contains(task)) {
                continue;
            }
            text = unfinished[task] + text.substr(resumed + 9);
            unfinished.erase(task);
        }
        Call call;
        call.task = task;
        call.name = text.substr(0, text.find('('));
        call.text = text;
        if (std::size_t const equals = text.rfind(" = "); equals != std::string::npos) {
            call.result = std::strtoll(text.c_str() + equals + 3, nullptr, 0);
        }
        calls_.push_back(std::move(call));
    }

    // A thread's first call may be logged before its creator's clone returns: repeat until no
    // new thread is found.
    own_.insert(first);
    for (std::size_t before = 0; before != own_.size();) {
        before = own_.size();
        for (Call const& call : calls_) {
            if (own_.contains(call.task) && StartsThread(call)) {
                own_.insert(static_cast<int>(call.result));
            }
        }
    }
    for (Call const& call : calls_) {
        if (own_.contains(call.task) && StartsProcess(call)) {
            children_.insert(static_cast<int>(call.result));
        }
    }
}

bool SyscallTrace::ChangesFiles(const Call& call) {
    if (Changing.contains(call.name)) {
        return true;
    }
    return Opening.contains(call.name) && std::regex_search(call.text, WriteFlags) &&
           !IsDevice(FirstQuoted(call.text));
}

std::vector<SyscallTrace::Call> SyscallTrace::OwnChanges(bool succeeded) const {
    std::vector<Call> found;
    for (Call const& call : calls_) {
        if (own_.contains(call.task) && ChangesFiles(call) && (call.result >= 0) == succeeded) {
            found.push_back(call);
        }
    }
    return found;
}

std::vector<SyscallTrace::Call> SyscallTrace::Changes() const {
    return OwnChanges(true);
}

std::vector<SyscallTrace::Call> SyscallTrace::RefusedChanges() const {
    return OwnChanges(false);
}

std::vector<SyscallTrace::Call> SyscallTrace::Naming(const std::string& fragment) const {
    std::vector<Call> found;
    for (Call const& call : calls_) {
        if (own_.contains(call.task) && call.text.find(fragment) != std::string::npos) {
            found.push_back(call);
        }
    }
    return found;
}

std::string SyscallTrace::Describe(const std::vector<Call>& calls) {
    std::string text;
    for (Call const& call : calls) {
        text += "  [" + std::to_string(call.task) + "] " + call.text + "\n";
    }
    return text;
}

} // namespace slidevane::test
