#include "adapters/posix/RegEditFileParser.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/HexBytes.h"
#include "adapters/posix/TextCodec.h"

#include <array>
#include <optional>
#include <vector>

namespace slidevane {

namespace {

using Root = RegistryTree::Root;
constexpr std::uint32_t npos = RegistryTree::npos;

// Lines end at CR, LF or CRLF, as the editor's own reader splits them.
class Lines {
public:
    explicit Lines(std::u16string_view text) : text_(text) {}

    bool next(std::u16string_view& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        previous_ = pos_;
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != u'\r' && text_[end] != u'\n') {
            ++end;
        }
        line = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size()) {
            const bool cr = text_[pos_] == u'\r';
            ++pos_;
            if (cr && pos_ < text_.size() && text_[pos_] == u'\n') {
                ++pos_;
            }
        }
        return true;
    }

    void unread() { pos_ = previous_; }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
    std::size_t previous_ = 0;
};

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::size_t skipSpaces(std::u16string_view s, std::size_t i) {
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    return i;
}

// Only spaces, tabs or a ';' comment may follow a complete value ('#' is not a comment here).
bool onlyTrailer(std::u16string_view s, std::size_t i) {
    i = skipSpaces(s, i);
    return i == s.size() || s[i] == u';';
}

bool startsWith(std::u16string_view s, std::size_t i, std::u16string_view prefix) {
    return s.substr(i, prefix.size()) == prefix;
}

// A quoted name or text with the editor's escapes: \\ \" \n \r; \0 rejects the line; any
// other \c is c.
bool parseQuoted(std::u16string_view s, std::size_t& i, std::u16string& out) {
    ++i; // opening quote
    while (i < s.size()) {
        const char16_t c = s[i];
        if (c == u'"') {
            ++i;
            return true;
        }
        if (c == u'\\') {
            if (i + 1 >= s.size()) {
                return false;
            }
            const char16_t n = s[i + 1];
            switch (n) {
            case u'n':
                out += u'\n';
                break;
            case u'r':
                out += u'\r';
                break;
            case u'0':
                return false;
            default:
                out += n;
                break;
            }
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return false;
}

struct RootName {
    std::u16string_view longName;
    std::u16string_view shortName;
    Root root;
    bool classes; // HKEY_CLASSES_ROOT: LocalMachine\Software\Classes
};

constexpr std::array<RootName, 6> kRoots = {{
    {u"HKEY_LOCAL_MACHINE", u"HKLM", Root::LocalMachine, false},
    {u"HKEY_CURRENT_USER", u"HKCU", Root::CurrentUser, false},
    {u"HKEY_CLASSES_ROOT", u"HKCR", Root::LocalMachine, true},
    {u"HKEY_USERS", u"HKU", Root::Users, false},
    {u"HKEY_CURRENT_CONFIG", u"HKCC", Root::CurrentConfig, false},
    {u"HKEY_DYN_DATA", u"", Root::DynData, false},
}};

class Parser {
public:
    Parser(RegistryTree& tree, bool unicode) : tree_(tree), unicode_(unicode) {}

    void run(Lines& lines) {
        std::u16string_view line;
        while (lines.next(line)) {
            const std::size_t i = skipSpaces(line, 0);
            if (i == line.size()) {
                continue;
            }
            if (line[i] == u'[') {
                current_ = keyLine(line.substr(i));
            } else if ((line[i] == u'@' || line[i] == u'"') && current_ != npos) {
                valueLine(line.substr(i), lines);
            }
        }
    }

private:
    // Returns the key that following values go to, or npos to drop them.
    std::uint32_t keyLine(std::u16string_view line) {
        const std::size_t close = line.rfind(u']');
        if (close == std::u16string_view::npos || close < 2) {
            return npos;
        }
        std::u16string_view inner = line.substr(1, close - 1);
        const bool remove = inner[0] == u'-';
        if (remove) {
            inner.remove_prefix(1);
        }
        if (inner.empty() || isSpace(inner[0])) {
            return npos;
        }
        const std::size_t slash = inner.find(u'\\');
        const std::u16string_view rootName = inner.substr(0, slash);
        const RootName* root = nullptr;
        for (const RootName& r : kRoots) {
            if (CaseFold::equal(rootName, r.longName) ||
                (!r.shortName.empty() && CaseFold::equal(rootName, r.shortName))) {
                root = &r;
            }
        }
        if (root == nullptr) {
            return npos;
        }
        std::vector<std::u16string_view> parts;
        if (root->classes) {
            parts = {u"Software", u"Classes"};
        }
        std::u16string_view rest =
            slash == std::u16string_view::npos ? std::u16string_view() : inner.substr(slash + 1);
        while (!rest.empty()) {
            const std::size_t next = rest.find(u'\\');
            const std::u16string_view part = rest.substr(0, next);
            if (part.size() > RegistryTree::kMaxKeyNameLength) {
                return npos;
            }
            if (!part.empty()) {
                parts.push_back(part);
            }
            if (parts.size() > RegistryTree::kMaxDepth) {
                return npos;
            }
            rest =
                next == std::u16string_view::npos ? std::u16string_view() : rest.substr(next + 1);
        }
        std::uint32_t key = RegistryTree::rootKey(root->root);
        if (remove) {
            if (parts.empty()) {
                return npos; // a root cannot be deleted
            }
            for (const auto part : parts) {
                key = tree_.pathChild(key, part);
            }
            tree_.wipe(key);
            return npos;
        }
        for (const auto part : parts) {
            key = tree_.createChild(key, part);
        }
        return key;
    }

    void valueLine(std::u16string_view line, Lines& lines) {
        std::size_t i = 0;
        std::u16string name;
        if (line[0] == u'@') {
            i = 1;
        } else if (!parseQuoted(line, i, name)) {
            return;
        }
        if (name.size() > RegistryTree::kMaxValueNameLength) {
            return;
        }
        i = skipSpaces(line, i);
        if (i >= line.size() || line[i] != u'=') {
            return;
        }
        i = skipSpaces(line, i + 1);
        if (i >= line.size()) {
            return;
        }
        if (line[i] == u'-') {
            if (onlyTrailer(line, i + 1)) {
                tree_.deleteValue(current_, name);
            }
            return;
        }
        if (line[i] == u'"') {
            std::u16string text;
            if (!parseQuoted(line, i, text) || !onlyTrailer(line, i)) {
                return;
            }
            text += u'\0';
            tree_.setValue(current_, name, win::REG_SZ, TextCodec::toUtf16le(text));
            return;
        }
        if (startsWith(line, i, u"dword:")) {
            dwordValue(line, i + 6, name);
            return;
        }
        win::DWORD type = win::REG_BINARY;
        if (startsWith(line, i, u"hex:")) {
            i += 4;
        } else if (startsWith(line, i, u"hex(")) {
            i += 4;
            std::uint64_t n = 0;
            int digits = 0;
            while (i < line.size() && HexBytes::Digit(line[i]) >= 0) {
                n = n * 16 + static_cast<unsigned>(HexBytes::Digit(line[i]));
                ++i;
                if (++digits > 8) {
                    return;
                }
            }
            if (digits == 0 || !startsWith(line, i, u"):")) {
                return;
            }
            i += 2;
            type = static_cast<win::DWORD>(n);
        } else {
            return;
        }
        std::string bytes;
        if (!hexList(line, i, lines, bytes)) {
            return;
        }
        if (type == win::REG_SZ || type == win::REG_EXPAND_SZ || type == win::REG_MULTI_SZ) {
            if (!textFromHex(bytes)) {
                return;
            }
        }
        tree_.setValue(current_, name, type, std::move(bytes));
    }

    void dwordValue(std::u16string_view line, std::size_t i, const std::u16string& name) {
        i = skipSpaces(line, i);
        std::uint32_t n = 0;
        int digits = 0;
        while (i < line.size() && HexBytes::Digit(line[i]) >= 0) {
            n = n * 16 + static_cast<unsigned>(HexBytes::Digit(line[i]));
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 8 || !onlyTrailer(line, i)) {
            return;
        }
        std::string data(4, '\0');
        for (int b = 0; b < 4; ++b) {
            data[b] = static_cast<char>((n >> (8 * b)) & 0xFF);
        }
        tree_.setValue(current_, name, win::REG_DWORD, std::move(data));
    }

    // Comma-separated bytes of one or two hex digits; a '\' where a byte would start continues
    // the list on the next line that is neither blank nor a ';' comment.
    static bool hexList(std::u16string_view line, std::size_t i, Lines& lines, std::string& out) {
        for (;;) {
            i = skipSpaces(line, i);
            if (i >= line.size() || line[i] == u';') {
                return true;
            }
            if (line[i] == u'\\') {
                if (!onlyTrailer(line, i + 1)) {
                    return false;
                }
                for (;;) {
                    if (!lines.next(line)) {
                        return true;
                    }
                    i = skipSpaces(line, 0);
                    if (i < line.size() && line[i] != u';') {
                        break;
                    }
                }
                if (HexBytes::Digit(line[i]) < 0) {
                    lines.unread(); // not data: the line is read again on its own
                    return false;
                }
                continue;
            }
            if (!HexBytes::ReadByte(line, i, out)) {
                return false;
            }
            i = skipSpaces(line, i);
            if (i >= line.size() || line[i] == u';') {
                return true;
            }
            if (line[i] != u',') {
                return false;
            }
            ++i;
        }
    }

    // String types written as hex: UTF-16LE in 5.00 files, 8-bit text in REGEDIT4 files. Either
    // way the stored value ends in one NUL, added when the data lacks it.
    bool textFromHex(std::string& bytes) const {
        if (bytes.empty()) {
            return true;
        }
        if (unicode_) {
            if (bytes.size() % 2 != 0) {
                return false;
            }
            if (bytes[bytes.size() - 1] != 0 || bytes[bytes.size() - 2] != 0) {
                bytes.append(2, '\0');
            }
            return true;
        }
        if (bytes.back() != 0) {
            bytes += '\0';
        }
        const std::u16string units = TextCodec::isValidUtf8(bytes)
                                         ? TextCodec::fromUtf8(bytes)
                                         : TextCodec::fromWindows1252(bytes);
        bytes = TextCodec::toUtf16le(units);
        return true;
    }

    RegistryTree& tree_;
    bool unicode_;
    std::uint32_t current_ = npos;
};

std::u16string decode(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return TextCodec::fromUtf16le(bytes.substr(2));
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return TextCodec::fromUtf8(bytes.substr(3));
    }
    return TextCodec::isValidUtf8(bytes) ? TextCodec::fromUtf8(bytes)
                                         : TextCodec::fromWindows1252(bytes);
}

} // namespace

bool RegEditFileParser::parse(std::string_view bytes, RegistryTree& tree, std::string& error) {
    const std::u16string text = decode(bytes);
    Lines lines(text);
    std::u16string_view header;
    if (!lines.next(header)) {
        error = "empty file";
        return false;
    }
    header = header.substr(skipSpaces(header, 0));
    bool unicode = false;
    if (header == u"Windows Registry Editor Version 5.00") {
        unicode = true;
    } else if (header != u"REGEDIT4") {
        error = "no registry file header";
        return false;
    }
    Parser parser(tree, unicode);
    parser.run(lines);
    return true;
}

} // namespace slidevane
