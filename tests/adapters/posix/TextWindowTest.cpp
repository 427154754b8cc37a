// Registry files read in pieces from their descriptor, as the store reads them, against the same
// bytes parsed whole from memory: the window's refills, line ends split between two reads, value
// lists held across many continuation lines, and the encoding that only the file's last bytes
// decide must all come out the same.
#include "adapters/posix/TextWindow.h"

#include "HostileRegistryFiles.h"
#include "TempFolder.h"
#include "adapters/posix/ByteSource.h"
#include "adapters/posix/RegistryFileParser.h"
#include "adapters/posix/RegistrySources.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace slidevane {
namespace {

using test::HostileRegistryFiles;
using test::TempFolder;

// Every key and value of the tree, in a fixed order, with the bytes as stored.
void dump(const RegistryTree& tree, std::uint32_t key, const std::string& path, std::string& out) {
    out += path + (tree.exists(key) ? "" : " (path only)") + "\n";
    std::vector<std::string> values;
    tree.forEachValue(key, [&](const std::u16string& name, const RegistryTree::Value& value) {
        std::string line = "  " + TextCodec::toNarrow(name, TextCodec::Narrow::Utf8) + " type " +
                           std::to_string(value.type) + (value.deleted ? " deleted" : "") + " ";
        for (std::size_t i = 0; i < value.unitCount(); ++i) {
            line += std::to_string(value.unit(i)) + ",";
        }
        values.push_back(line + "\n");
    });
    std::sort(values.begin(), values.end());
    for (const auto& v : values) {
        out += v;
    }
    std::vector<std::pair<std::string, std::uint32_t>> children;
    tree.forEachChild(key, [&](std::uint32_t child) {
        children.emplace_back(TextCodec::toNarrow(tree.name(child), TextCodec::Narrow::Utf8),
                              child);
    });
    std::sort(children.begin(), children.end());
    for (const auto& [name, child] : children) {
        dump(tree, child, path + "\\" + name, out);
    }
}

std::string dump(const RegistryTree& tree) {
    std::string out;
    for (std::uint32_t r = 0; r < RegistryTree::kRootCount; ++r) {
        dump(tree, RegistryTree::rootKey(static_cast<RegistryTree::Root>(r)),
             "root" + std::to_string(r), out);
    }
    return out;
}

// The file as the store reads it, and the same bytes parsed whole.
void expectSameTree(const std::string& name, const std::string& bytes) {
    TempFolder temp;
    const std::string path = temp.write(name, bytes);
    std::vector<std::string> reports;
    RegistrySources sources({{path, false}},
                            [&](const std::string& line) { reports.push_back(line); });
    const auto layers = sources.refresh();
    ASSERT_TRUE(reports.empty()) << reports[0];
    ASSERT_EQ(layers->size(), 1u);
    std::string error;
    const auto whole = RegistryFileParser::parse(std::string_view(bytes), name, error);
    ASSERT_TRUE(whole) << error;
    const std::string expected = dump(*whole);
    EXPECT_EQ(dump(*(*layers)[0]), expected);
    EXPECT_GT(expected.size(), bytes.size() / 4); // the files say a lot
}

TEST(TextWindow, FilesReadInPiecesGiveTheTreesOfTheirWholeText) {
    // Line ends of every kind and lines of every length, so that line ends (a CRLF among them)
    // fall on the window's edges; hex lists carried over many lines; non-ASCII text.
    std::string reg = "Windows Registry Editor Version 5.00\r\n";
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 3000; ++i) {
        reg += "[HKEY_LOCAL_MACHINE\\Software\\K" + std::to_string(i % 97) + "\\" +
               std::string(static_cast<std::size_t>(i % 41), 'n') + "]" + ends[i % 3];
        reg += "\"v" + std::to_string(i) + "\"=\"caf\xC3\xA9 \xE2\x98\x83 " +
               std::string(static_cast<std::size_t>(i % 53), 'x') + "\"" + ends[(i / 3) % 3];
        if (i % 10 == 0) {
            reg += "\"h" + std::to_string(i) + "\"=hex:";
            for (int b = 0; b < 300; ++b) {
                reg += "4" + std::to_string(b % 10) + ",";
                if (b % 20 == 19) {
                    reg += "\\" + std::string(ends[b % 3]) + "  ";
                }
            }
            reg += "00" + std::string(ends[i % 3]);
        }
    }
    expectSameTree("mixed.reg", reg);
    expectSameTree("mixed16.reg", "\xFF\xFE" + TextCodec::toUtf16le(TextCodec::fromUtf8(reg)));
    expectSameTree("system.reg",
                   HostileRegistryFiles::manyKeys(2000, HostileRegistryFiles::Format::Hive) +
                       HostileRegistryFiles::chainedLinks(16, 100));
    // A hex list longer than many windows, held for its second run.
    expectSameTree("long.reg", HostileRegistryFiles::longLinkTarget(60000));
}

TEST(TextWindow, ALateByteThatIsNotUtf8MakesTheWholeFileWindows1252) {
    std::string reg =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Legacy]\n\"first\"=\"caf\xC3\xA9\"\n";
    for (int i = 0; i < 4000; ++i) {
        reg += "\"v" + std::to_string(i) + "\"=\"\xE2\x82\xAC " + std::to_string(i) + "\"\n";
    }
    expectSameTree("valid.reg", reg);
    reg += "\"last\"=\"na\xEFve\"\n"; // 0xEF starts no UTF-8 sequence here
    expectSameTree("late.reg", reg);

    TempFolder temp;
    const std::string path = temp.write("late.reg", reg);
    RegistrySources sources({{path, false}}, {});
    const RegistryTree& tree = *(*sources.refresh())[0];
    const std::uint32_t legacy =
        tree.child(tree.child(RegistryTree::rootKey(RegistryTree::Root::LocalMachine), u"software"),
                   u"legacy");
    ASSERT_NE(legacy, RegistryTree::npos);
    const auto first = tree.value(legacy, u"first");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->unitCount(), 6u); // c a f Ã © NUL: two Windows-1252 characters
    EXPECT_EQ(first->unit(3), 0xC3);
    const auto last = tree.value(legacy, u"last");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->unit(2), 0xEF);
}

TEST(TextWindow, KeepsWhatIsAskedForAndLittleElse) {
    TempFolder temp;
    std::string text;
    for (int i = 0; text.size() < 200000; ++i) {
        text += std::to_string(i) + (i % 7 == 0 ? "\xC3\xA9" : "") + "\n";
    }
    text += "\xE2\x82"; // a sequence the file ends in the middle of
    const std::string path = temp.write("text", text);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ByteSource source(fd, text.size(), RegistrySources::kMaxFileSize);
    TextWindow<char> window(source, true);
    std::size_t keep = 0;
    std::size_t largest = 0;
    std::size_t pinAt = 0;
    while (window.more(keep)) {
        ASSERT_LE(window.base(), keep);
        ASSERT_EQ(window.held(),
                  std::string_view(text).substr(window.base(), window.held().size()));
        largest = std::max(largest, window.held().size());
        EXPECT_TRUE(window.validUtf8() || window.end() == text.size());
        // Like a line reader: everything read is done with but an unfinished line; once, a
        // stretch is held over many refills.
        keep = window.end() - std::min<std::size_t>(window.held().size(), 100);
        if (pinAt == 0 && keep > 50000) {
            pinAt = keep;
            window.pin(pinAt);
        } else if (pinAt != 0 && pinAt != TextWindow<char>::npos) {
            EXPECT_LE(window.base(), pinAt);
            if (window.end() > 120000) {
                window.unpin();
                pinAt = TextWindow<char>::npos;
            }
        }
    }
    ::close(fd);
    EXPECT_EQ(window.end(), text.size());
    EXPECT_FALSE(window.validUtf8());
    EXPECT_LT(largest, text.size() * 3 / 4); // the held stretch, not the file
}

} // namespace
} // namespace slidevane
