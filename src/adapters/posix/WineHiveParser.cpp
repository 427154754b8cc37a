#include "adapters/posix/WineHiveParser.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/HexBytes.h"
#include "adapters/posix/StoredText.h"
#include "adapters/posix/TextCodec.h"
#include "adapters/posix/TextWindow.h"

#include <vector>

namespace slidevane {

namespace {

using Root = RegistryTree::Root;
constexpr std::uint32_t npos = RegistryTree::npos;
// The longest key path that can name a key: a longer one is measured, never stored.
constexpr std::size_t kMaxKeyPathLength =
    RegistryTree::kMaxDepth * (RegistryTree::kMaxKeyNameLength + 1);

// Lines end at LF; a CR before it is dropped. The text is read as the lines are asked for, and
// a line already read can be read again while the window is held there.
class Lines {
public:
    explicit Lines(TextWindow<char>& text) : text_(&text), pos_(text.base()) {}

    bool next(std::string_view& line) {
        if (pos_ == text_->end() && !text_->more(pos_)) {
            return false;
        }
        start_ = pos_;
        std::size_t end = pos_;
        for (;;) {
            const std::string_view held = text_->held();
            const std::size_t at = held.find('\n', end - text_->base());
            if (at != std::string_view::npos) {
                end = text_->base() + at;
                break;
            }
            end = text_->end();
            if (!text_->more(start_)) {
                break;
            }
        }
        pos_ = end < text_->end() ? end + 1 : end;
        end_ = end;
        line = current();
        return true;
    }

    // The line last read, again: a view that next() or more() may have made stale is renewed.
    std::string_view current() const {
        std::string_view line = text_->view(start_, end_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // Keeps the line last read and all after it until release(), so that a copy of this
    // reader taken now can read them again.
    void hold() { text_->pin(start_); }
    void release() { text_->unpin(); }

private:
    TextWindow<char>* text_;
    std::size_t pos_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

std::size_t skipSpaces(std::string_view s, std::size_t i) {
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    return i;
}

bool startsWith(std::string_view s, std::size_t i, std::string_view prefix) {
    return s.substr(i, prefix.size()) == prefix;
}

// The hive's string escapes, up to the first unescaped `end`: C escapes, \x with one to four
// hex digits (one UTF-16 unit, so surrogates survive exactly), one to three octal digits, and
// \c for any other c. Raw bytes are UTF-8. The units go to a StoredText sink.
template <class Sink> bool parseString(std::string_view s, std::size_t& i, char end, Sink& out) {
    while (i < s.size()) {
        const char c = s[i];
        if (c == end) {
            ++i;
            return true;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            StoredText::putCodePoint(out, TextCodec::decodeUtf8(s, i));
            continue;
        }
        if (c != '\\') {
            out.put(static_cast<char16_t>(c));
            ++i;
            continue;
        }
        if (++i >= s.size()) {
            return false;
        }
        const char e = s[i];
        switch (e) {
        case 'a':
            out.put(u'\a');
            break;
        case 'b':
            out.put(u'\b');
            break;
        case 'e':
            out.put(u'\x1b');
            break;
        case 'f':
            out.put(u'\f');
            break;
        case 'n':
            out.put(u'\n');
            break;
        case 'r':
            out.put(u'\r');
            break;
        case 't':
            out.put(u'\t');
            break;
        case 'v':
            out.put(u'\v');
            break;
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < s.size() && HexBytes::Digit(s[i + 1]) >= 0) {
                value = value * 16 + static_cast<unsigned>(HexBytes::Digit(s[i + 1]));
                ++i;
                ++digits;
            }
            out.put(digits == 0 ? u'x' : static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned value = static_cast<unsigned>(e - '0');
                int digits = 1;
                while (digits < 3 && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7') {
                    value = value * 8 + static_cast<unsigned>(s[i + 1] - '0');
                    ++i;
                    ++digits;
                }
                out.put(static_cast<char16_t>(value));
            } else if (static_cast<unsigned char>(e) >= 0x80) {
                StoredText::putCodePoint(out, TextCodec::decodeUtf8(s, i));
                continue;
            } else {
                out.put(static_cast<char16_t>(e));
            }
            break;
        }
        ++i;
    }
    return false;
}

struct Base {
    Root root = Root::LocalMachine;
    std::vector<std::u16string> prefix;
};

// ";; All keys relative to REGISTRY\\Machine" (or \\User\\S-..., \\User\\.Default).
bool baseFromComment(std::string_view line, Base& base) {
    constexpr std::string_view marker = "relative to ";
    const std::size_t at = line.find(marker);
    if (at == std::string_view::npos) {
        return false;
    }
    std::size_t i = at + marker.size();
    std::u16string path;
    StoredText::Name sink{path, kMaxKeyPathLength};
    parseString(line, i, '\0', sink);
    if (sink.tooLong) {
        return false;
    }
    // Past the deepest path a key can have, more parts would only make every key too deep, as
    // one more already does: they are not listed.
    std::vector<std::u16string_view> parts;
    std::size_t pos = 0;
    std::u16string_view part;
    while (parts.size() <= RegistryTree::kMaxDepth + 3 &&
           RegistryTree::nextComponent(path, pos, part)) {
        parts.push_back(part);
    }
    if (parts.size() < 2 || !CaseFold::equal(parts[0], u"REGISTRY")) {
        return false;
    }
    std::size_t rest = 2;
    if (CaseFold::equal(parts[1], u"Machine")) {
        base.root = Root::LocalMachine;
    } else if (CaseFold::equal(parts[1], u"User")) {
        if (parts.size() > 2 && parts[2].substr(0, 2) == u"S-") {
            base.root = Root::CurrentUser;
            rest = 3;
        } else {
            base.root = Root::Users;
        }
    } else {
        return false;
    }
    base.prefix.clear();
    for (std::size_t p = rest; p < parts.size(); ++p) {
        base.prefix.emplace_back(parts[p]);
    }
    return true;
}

Base baseFromFileName(std::string_view fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash != std::string_view::npos) {
        fileName.remove_prefix(slash + 1);
    }
    Base base;
    if (fileName == "user.reg") {
        base.root = Root::CurrentUser;
    } else if (fileName == "userdef.reg") {
        base.root = Root::Users;
        base.prefix = {u".Default"};
    }
    return base;
}

class Parser {
public:
    Parser(RegistryTree& tree, Base base) : tree_(tree), base_(std::move(base)) {}

    bool run(Lines& lines, std::string& error) {
        std::string_view line;
        bool seenKey = false;
        while (lines.next(line)) {
            const std::size_t i = skipSpaces(line, 0);
            if (i == line.size()) {
                continue;
            }
            const char c = line[i];
            if (c == '[') {
                seenKey = true;
                current_ = keyLine(line, i + 1);
            } else if (c == '@' || c == '"') {
                if (current_ != npos) {
                    valueLine(line, i, lines);
                }
            } else if (c == '#') {
                const std::string_view option = line.substr(i + 1);
                if (!seenKey && startsWith(option, 0, "arch=")) {
                    if (option == "arch=win64") {
                        tree_.setWin64(true);
                    } else if (option != "arch=win32") {
                        error = "unknown hive architecture";
                        return false;
                    }
                } else if (current_ != npos && option == "link") {
                    tree_.markLink(current_);
                }
            } else if (c == ';' && !seenKey) {
                baseFromComment(line, base_);
            }
        }
        tree_.readLinkTargets();
        return true;
    }

private:
    std::uint32_t keyLine(std::string_view line, std::size_t i) {
        std::u16string name;
        StoredText::Name sink{name, kMaxKeyPathLength};
        if (!parseString(line, i, ']', sink) || sink.tooLong) {
            return npos;
        }
        // A name longer than Windows allows, here or in the base the hive gave, or a path
        // deeper than it allows, can never be opened: the key is not made. Counted before
        // anything is made, without listing the parts.
        std::size_t depth = base_.prefix.size();
        for (const auto& part : base_.prefix) {
            if (part.size() > RegistryTree::kMaxKeyNameLength) {
                return npos;
            }
        }
        std::size_t pos = 0;
        std::u16string_view part;
        while (RegistryTree::nextComponent(name, pos, part)) {
            if (part.size() > RegistryTree::kMaxKeyNameLength ||
                ++depth > RegistryTree::kMaxDepth) {
                return npos;
            }
        }
        std::uint32_t key = RegistryTree::rootKey(base_.root);
        for (const auto& prefix : base_.prefix) {
            key = tree_.createChild(key, prefix);
        }
        pos = 0;
        while (RegistryTree::nextComponent(name, pos, part)) {
            key = tree_.createChild(key, part);
        }
        return key;
    }

    void valueLine(std::string_view line, std::size_t i, Lines& lines) {
        std::u16string name;
        if (line[i] == '@') {
            ++i;
        } else {
            ++i;
            StoredText::Name sink{name, RegistryTree::kMaxValueNameLength};
            if (!parseString(line, i, '"', sink) || sink.tooLong) {
                return;
            }
        }
        i = skipSpaces(line, i);
        if (i >= line.size() || line[i] != '=') {
            return;
        }
        i = skipSpaces(line, i + 1);
        if (!valueData(line, i, lines, name)) {
            // What the hive cannot say stays as an empty value of no type.
            tree_.setValue(current_, name, win::REG_NONE, std::size_t{0});
        }
    }

    // Stores the value's data straight into the tree; false (and nothing stored) when the hive
    // cannot say it.
    bool valueData(std::string_view line, std::size_t i, Lines& lines, const std::u16string& name) {
        win::DWORD type = win::REG_NONE;
        std::size_t text = std::string_view::npos;
        if (startsWith(line, i, "\"")) {
            type = win::REG_SZ;
            text = i + 1;
        } else if (startsWith(line, i, "str:\"")) {
            type = win::REG_SZ;
            text = i + 5;
        } else if (startsWith(line, i, "str(2):\"")) {
            type = win::REG_EXPAND_SZ;
            text = i + 8;
        } else if (startsWith(line, i, "str(7):\"")) {
            type = win::REG_MULTI_SZ;
            text = i + 8;
        }
        if (text != std::string_view::npos) {
            return StoredText::text(
                [&](auto& sink) {
                    std::size_t at = text;
                    if (!parseString(line, at, '"', sink)) {
                        return false;
                    }
                    sink.put(u'\0');
                    return true;
                },
                [&](std::size_t size, bool compact) {
                    return tree_.setValue(current_, name, type, size, compact);
                });
        }
        if (startsWith(line, i, "dword:")) {
            const std::uint32_t n = lenientHex(line, i + 6);
            char* out = tree_.setValue(current_, name, win::REG_DWORD, 4);
            for (int b = 0; b < 4; ++b) {
                out[b] = static_cast<char>((n >> (8 * b)) & 0xFF);
            }
            return true;
        }
        if (startsWith(line, i, "hex:")) {
            type = win::REG_BINARY;
            i += 4;
        } else if (startsWith(line, i, "hex(")) {
            i += 4;
            const std::size_t close = line.find("):", i);
            if (close == std::string_view::npos) {
                return false;
            }
            type = lenientHex(line.substr(0, close), i);
            i = close + 2;
        } else {
            return false;
        }
        // Measured on a copy of the reader, so that the second run reads the same lines; they
        // are held in the window until then. The line is taken afresh for each run, as reading
        // on may have moved it.
        const std::size_t skip = static_cast<std::size_t>(line.data() - lines.current().data());
        lines.hold();
        const Lines start = lines;
        const bool ok = StoredText::bytes(
            [&](auto& sink) {
                lines = start;
                return hexList(lines.current().substr(skip), i, lines, sink);
            },
            [&](std::size_t size) { return tree_.setValue(current_, name, type, size); });
        lines.release();
        return ok;
    }

    // Like strtoul(…, 16): leading blanks and an optional 0x, stops at the first non-digit,
    // saturates, and keeps the low 32 bits as the hive's reader does.
    static std::uint32_t lenientHex(std::string_view s, std::size_t i) {
        i = skipSpaces(s, i);
        if (startsWith(s, i, "0x") || startsWith(s, i, "0X")) {
            if (i + 2 < s.size() && HexBytes::Digit(s[i + 2]) >= 0) {
                i += 2;
            }
        }
        std::uint64_t n = 0;
        bool saturated = false;
        while (i < s.size() && HexBytes::Digit(s[i]) >= 0) {
            if (n > (UINT64_MAX >> 4)) {
                saturated = true;
            }
            n = n * 16 + static_cast<unsigned>(HexBytes::Digit(s[i]));
            ++i;
        }
        return saturated ? UINT32_MAX : static_cast<std::uint32_t>(n);
    }

    template <class Sink>
    static bool hexList(std::string_view line, std::size_t i, Lines& lines, Sink& out) {
        for (;;) {
            i = skipSpaces(line, i);
            if (i >= line.size()) {
                return true;
            }
            if (line[i] == '\\') {
                if (!lines.next(line)) {
                    return true;
                }
                i = 0;
                continue;
            }
            const int byte = HexBytes::ReadByte(line, i);
            if (byte < 0) {
                return false;
            }
            out.put(static_cast<char16_t>(byte));
            i = skipSpaces(line, i);
            if (i < line.size() && line[i] == ',') {
                ++i;
            } else if (i < line.size() && line[i] != '\\') {
                return false;
            }
        }
    }

    RegistryTree& tree_;
    Base base_;
    std::uint32_t current_ = npos;
};

} // namespace

bool WineHiveParser::parse(ByteSource& source, std::string_view fileName, RegistryTree& tree,
                           std::string& error) {
    TextWindow<char> text(source, false, tree.budget());
    Lines lines(text);
    std::string_view header;
    if (!lines.next(header) || header != kHeader) {
        error = "no hive header";
        return false;
    }
    Parser parser(tree, baseFromFileName(fileName));
    return parser.run(lines, error);
}

bool WineHiveParser::parse(std::string_view bytes, std::string_view fileName, RegistryTree& tree,
                           std::string& error) {
    ByteSource source(bytes);
    return parse(source, fileName, tree, error);
}

} // namespace slidevane
