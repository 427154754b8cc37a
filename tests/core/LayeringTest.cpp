// The rooms of src/ import only from the rooms below them: the ports and the vocabulary they
// share (platform/) at the floor, the Browser state (state/) and pictures (picture/) on it, the
// catalogue and the subsystems above, and Form1 (shell/), which composes everything, at the top
// with main (app/). The adapters stand beside the core: they import the floor and the picture
// room, never the room that holds Form1 nor the subsystems it composes.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// The room of a file: its folder below src/, two levels for the adapters and main.
std::string RoomOf(const fs::path& relative) {
    auto part = relative.begin();
    std::string room = part->string();
    if ((room == "adapters" || room == "app") && std::next(part) != relative.end()) {
        room += "/" + std::next(part)->string();
    }
    return room;
}

const std::map<std::string, std::set<std::string>>& Allowed() {
    std::set<std::string> const subsystems = {"catalogue", "strip",    "preview", "presentation",
                                              "weblink",   "platform", "state",   "picture"};
    static std::map<std::string, std::set<std::string>> const allowed = {
        {"platform", {"platform"}},
        {"state", {"state"}},
        {"picture", {"picture", "platform"}},
        {"catalogue", {"catalogue", "platform"}},
        {"strip", subsystems},
        {"preview", subsystems},
        {"presentation", subsystems},
        {"weblink", subsystems},
        {"shell",
         {"shell", "catalogue", "strip", "preview", "presentation", "weblink", "platform", "state",
          "picture"}},
        {"adapters/posix", {"adapters/posix", "platform", "picture"}},
        {"adapters/qt", {"adapters/qt", "adapters/posix", "platform", "picture"}},
        {"adapters/uno", {"adapters/uno", "adapters/posix", "platform", "picture"}},
        {"adapters/win32", {"adapters/win32", "platform", "picture"}},
    };
    return allowed;
}

TEST(Layering, EveryRoomImportsOnlyFromTheRoomsBelowIt) {
    fs::path const source = SLIDEVANE3_SOURCE_DIR;
    std::regex const include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    int files = 0;
    for (fs::directory_entry const& entry : fs::recursive_directory_iterator(source)) {
        std::string const extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
            continue;
        }
        std::string const room = RoomOf(fs::relative(entry.path(), source));
        if (room.starts_with("app/")) {
            continue; // main wires everything
        }
        auto const allowed = Allowed().find(room);
        ASSERT_NE(allowed, Allowed().end()) << "a room the layering does not know: " << room;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include) ||
                match[1].str().find('/') == std::string::npos) {
                continue; // a system header, or one beside the file
            }
            std::string const target = RoomOf(fs::path(match[1].str()).parent_path());
            EXPECT_TRUE(allowed->second.contains(target))
                << fs::relative(entry.path(), source).string() << ":" << number << " (" << room
                << ") imports " << match[1].str();
        }
    }
    EXPECT_GT(files, 100);
}

} // namespace
