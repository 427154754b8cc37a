#include "adapters/posix/RegEditFileParser.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/HexBytes.h"
#include "adapters/posix/StoredText.h"
#include "adapters/posix/TextCodec.h"
#include "adapters/posix/TextWindow.h"

#include <array>
#include <vector>

namespace slidevane {

namespace {

using Root = RegistryTree::Root;
constexpr std::uint32_t npos = RegistryTree::npos;

// How the file's characters become UTF-16 units. 8-bit files are read as they lie, and only the
// names and texts they hold are decoded, so no decoded copy of the whole file is ever made.
enum class Encoding { Utf16, Utf8, Windows1252 };

// Lines end at CR, LF or CRLF, as the editor's own reader splits them. Neither byte occurs
// inside a UTF-8 sequence, so 8-bit files split the same way before decoding. The text is read
// as the lines are asked for; the line last read can be put back, and a line already read can be
// read again while the window is held there.
template <class Unit> class Lines {
public:
    using View = std::basic_string_view<Unit>;

    explicit Lines(TextWindow<Unit>& text) : text_(&text), pos_(text.base()) {}

    bool next(View& line) {
        if (pos_ == text_->end() && !text_->more(pos_)) {
            return false;
        }
        start_ = pos_;
        std::size_t end = pos_;
        bool terminated = false;
        for (;;) {
            const View held = text_->held();
            std::size_t at = end - text_->base();
            while (at < held.size() && held[at] != Unit('\r') && held[at] != Unit('\n')) {
                ++at;
            }
            end = text_->base() + at;
            // A CR last in the window may be the first half of a CRLF.
            if (at < held.size() && !(held[at] == Unit('\r') && at + 1 == held.size())) {
                terminated = true;
                break;
            }
            if (!text_->more(start_)) {
                terminated = end < text_->end();
                break;
            }
        }
        end_ = end;
        pos_ = end;
        if (terminated) {
            const View held = text_->held();
            const bool cr = held[pos_ - text_->base()] == Unit('\r');
            ++pos_;
            if (cr && pos_ < text_->end() && held[pos_ - text_->base()] == Unit('\n')) {
                ++pos_;
            }
        }
        line = current();
        return true;
    }

    void unread() { pos_ = start_; }

    // The line last read, again: a view that next() may have made stale is renewed.
    View current() const { return text_->view(start_, end_); }

    // Keeps the line last read and all after it until release(), so that a copy of this
    // reader taken now can read them again.
    void hold() { text_->pin(start_); }
    void release() { text_->unpin(); }

    // False once the 8-bit text has shown a byte sequence that is not UTF-8.
    bool stillUtf8() const {
        if constexpr (sizeof(Unit) == 1) {
            return text_->validUtf8();
        } else {
            return true;
        }
    }

private:
    TextWindow<Unit>* text_;
    std::size_t pos_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

template <class Unit> bool isSpace(Unit c) {
    return c == Unit(' ') || c == Unit('\t');
}

template <class Unit> std::size_t skipSpaces(std::basic_string_view<Unit> s, std::size_t i) {
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    return i;
}

// Only spaces, tabs or a ';' comment may follow a complete value ('#' is not a comment here).
template <class Unit> bool onlyTrailer(std::basic_string_view<Unit> s, std::size_t i) {
    i = skipSpaces(s, i);
    return i == s.size() || s[i] == Unit(';');
}

// The grammar's words are ASCII, so they compare unit by unit in either width.
template <class Unit>
bool startsWith(std::basic_string_view<Unit> s, std::size_t i, std::string_view ascii) {
    if (i > s.size() || s.size() - i < ascii.size()) {
        return false;
    }
    for (std::size_t k = 0; k < ascii.size(); ++k) {
        if (s[i + k] != static_cast<Unit>(ascii[k])) {
            return false;
        }
    }
    return true;
}

template <class Unit> bool equalsAscii(std::basic_string_view<Unit> s, std::string_view ascii) {
    return s.size() == ascii.size() && startsWith(s, 0, ascii);
}

// One character at s[i] as UTF-16 units into sink, moving i past it.
template <class Unit, class Sink>
void putChar(std::basic_string_view<Unit> s, std::size_t& i, Encoding encoding, Sink& sink) {
    if constexpr (sizeof(Unit) == 2) {
        sink.put(s[i++]);
    } else {
        const auto byte = static_cast<unsigned char>(s[i]);
        if (byte < 0x80) {
            sink.put(byte);
            ++i;
        } else if (encoding == Encoding::Utf8) {
            StoredText::putCodePoint(sink, TextCodec::decodeUtf8(s, i));
        } else {
            sink.put(TextCodec::fromWindows1252(byte));
            ++i;
        }
    }
}

// A quoted name or text with the editor's escapes: \\ \" \n \r; \0 rejects the line; any
// other \c is c.
template <class Unit, class Sink>
bool parseQuoted(std::basic_string_view<Unit> s, std::size_t& i, Encoding encoding, Sink& out) {
    ++i; // opening quote
    while (i < s.size()) {
        const Unit c = s[i];
        if (c == Unit('"')) {
            ++i;
            return true;
        }
        if (c != Unit('\\')) {
            putChar(s, i, encoding, out);
            continue;
        }
        if (i + 1 >= s.size()) {
            return false;
        }
        const Unit n = s[i + 1];
        if (n == Unit('n')) {
            out.put(u'\n');
        } else if (n == Unit('r')) {
            out.put(u'\r');
        } else if (n == Unit('0')) {
            return false;
        } else {
            ++i;
            putChar(s, i, encoding, out);
            continue;
        }
        i += 2;
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

template <class Unit> class Parser {
public:
    using View = std::basic_string_view<Unit>;

    Parser(RegistryTree& tree, Encoding encoding, bool unicode, bool checkUtf8)
        : tree_(tree), encoding_(encoding), unicode_(unicode), checkUtf8_(checkUtf8) {}

    // Returns false when it stopped early because an 8-bit text read as UTF-8 proved not to be.
    bool run(Lines<Unit>& lines) {
        View line;
        while (lines.next(line)) {
            if (checkUtf8_ && !lines.stillUtf8()) {
                return false;
            }
            const std::size_t i = skipSpaces(line, 0);
            if (i == line.size()) {
                continue;
            }
            if (line[i] == Unit('[')) {
                current_ = keyLine(line.substr(i));
            } else if ((line[i] == Unit('@') || line[i] == Unit('"')) && current_ != npos) {
                valueLine(line.substr(i), lines);
            }
        }
        return !checkUtf8_ || lines.stillUtf8();
    }

private:
    // The units of raw, as long as they are at most limit; false for a longer name.
    bool decodeName(View raw, std::size_t limit, std::u16string& out) const {
        StoredText::Name sink{out, limit};
        for (std::size_t i = 0; i < raw.size() && !sink.tooLong;) {
            putChar(raw, i, encoding_, sink);
        }
        return !sink.tooLong;
    }

    // Returns the key that following values go to, or npos to drop them.
    std::uint32_t keyLine(View line) {
        const std::size_t close = line.rfind(Unit(']'));
        if (close == View::npos || close < 2) {
            return npos;
        }
        View inner = line.substr(1, close - 1);
        const bool remove = inner[0] == Unit('-');
        if (remove) {
            inner.remove_prefix(1);
        }
        if (inner.empty() || isSpace(inner[0])) {
            return npos;
        }
        const std::size_t slash = inner.find(Unit('\\'));
        std::u16string rootName;
        const RootName* root = nullptr;
        if (decodeName(inner.substr(0, slash), RegistryTree::kMaxKeyNameLength, rootName)) {
            for (const RootName& r : kRoots) {
                if (CaseFold::equal(rootName, r.longName) ||
                    (!r.shortName.empty() && CaseFold::equal(rootName, r.shortName))) {
                    root = &r;
                }
            }
        }
        if (root == nullptr) {
            return npos;
        }
        std::vector<std::u16string> parts;
        if (root->classes) {
            parts = {u"Software", u"Classes"};
        }
        View rest = slash == View::npos ? View() : inner.substr(slash + 1);
        while (!rest.empty()) {
            const std::size_t next = rest.find(Unit('\\'));
            std::u16string part;
            if (!decodeName(rest.substr(0, next), RegistryTree::kMaxKeyNameLength, part)) {
                return npos;
            }
            if (!part.empty()) {
                parts.push_back(std::move(part));
            }
            if (parts.size() > RegistryTree::kMaxDepth) {
                return npos;
            }
            rest = next == View::npos ? View() : rest.substr(next + 1);
        }
        std::uint32_t key = RegistryTree::rootKey(root->root);
        if (remove) {
            if (parts.empty()) {
                return npos; // a root cannot be deleted
            }
            for (const auto& part : parts) {
                key = tree_.pathChild(key, part);
            }
            tree_.wipe(key);
            return npos;
        }
        for (const auto& part : parts) {
            key = tree_.createChild(key, part);
        }
        return key;
    }

    void valueLine(View line, Lines<Unit>& lines) {
        std::size_t i = 0;
        std::u16string name;
        if (line[0] == Unit('@')) {
            i = 1;
        } else {
            StoredText::Name sink{name, RegistryTree::kMaxValueNameLength};
            if (!parseQuoted(line, i, encoding_, sink) || sink.tooLong) {
                return;
            }
        }
        i = skipSpaces(line, i);
        if (i >= line.size() || line[i] != Unit('=')) {
            return;
        }
        i = skipSpaces(line, i + 1);
        if (i >= line.size()) {
            return;
        }
        if (line[i] == Unit('-')) {
            if (onlyTrailer(line, i + 1)) {
                tree_.deleteValue(current_, name);
            }
            return;
        }
        if (line[i] == Unit('"')) {
            StoredText::text(
                [&](auto& sink) {
                    std::size_t at = i;
                    if (!parseQuoted(line, at, encoding_, sink) || !onlyTrailer(line, at)) {
                        return false;
                    }
                    sink.put(u'\0');
                    return true;
                },
                [&](std::size_t size, bool compact) {
                    return tree_.setValue(current_, name, win::REG_SZ, size, compact);
                });
            return;
        }
        if (startsWith(line, i, "dword:")) {
            dwordValue(line, i + 6, name);
            return;
        }
        win::DWORD type = win::REG_BINARY;
        if (startsWith(line, i, "hex:")) {
            i += 4;
        } else if (startsWith(line, i, "hex(")) {
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
            if (digits == 0 || !startsWith(line, i, "):")) {
                return;
            }
            i += 2;
            type = static_cast<win::DWORD>(n);
        } else {
            return;
        }
        // Measured on a copy of the reader, so that the second run reads the same lines; they
        // are held in the window until then. The line is taken afresh for each run, as reading
        // on may have moved it.
        const std::size_t skip = static_cast<std::size_t>(line.data() - lines.current().data());
        lines.hold();
        const Lines<Unit> start = lines;
        auto run = [&](auto& sink) {
            lines = start;
            return hexList(lines.current().substr(skip), i, lines, sink);
        };
        if (type == win::REG_SZ || type == win::REG_EXPAND_SZ || type == win::REG_MULTI_SZ) {
            textFromHex(run, type, name);
        } else {
            StoredText::bytes(
                run, [&](std::size_t size) { return tree_.setValue(current_, name, type, size); });
        }
        lines.release();
    }

    void dwordValue(View line, std::size_t i, const std::u16string& name) {
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
        char* out = tree_.setValue(current_, name, win::REG_DWORD, 4);
        for (int b = 0; b < 4; ++b) {
            out[b] = static_cast<char>((n >> (8 * b)) & 0xFF);
        }
    }

    // Comma-separated bytes of one or two hex digits; a '\' where a byte would start continues
    // the list on the next line that is neither blank nor a ';' comment.
    template <class Sink>
    static bool hexList(View line, std::size_t i, Lines<Unit>& lines, Sink& out) {
        for (;;) {
            i = skipSpaces(line, i);
            if (i >= line.size() || line[i] == Unit(';')) {
                return true;
            }
            if (line[i] == Unit('\\')) {
                if (!onlyTrailer(line, i + 1)) {
                    return false;
                }
                for (;;) {
                    if (!lines.next(line)) {
                        return true;
                    }
                    i = skipSpaces(line, 0);
                    if (i < line.size() && line[i] != Unit(';')) {
                        break;
                    }
                }
                if (HexBytes::Digit(line[i]) < 0) {
                    lines.unread(); // not data: the line is read again on its own
                    return false;
                }
                continue;
            }
            const int byte = HexBytes::ReadByte(line, i);
            if (byte < 0) {
                return false;
            }
            out.put(static_cast<char16_t>(byte));
            i = skipSpaces(line, i);
            if (i >= line.size() || line[i] == Unit(';')) {
                return true;
            }
            if (line[i] != Unit(',')) {
                return false;
            }
            ++i;
        }
    }

    // String types written as hex: UTF-16LE in 5.00 files, 8-bit text in REGEDIT4 files. Either
    // way the stored value ends in one NUL, added when the data lacks it. run(sink) feeds the
    // bytes.
    template <class Run> void textFromHex(Run& run, win::DWORD type, const std::u16string& name) {
        if (unicode_) {
            // Measured first: the count, the last unit, and whether every unit fits in a byte.
            struct Measure {
                std::size_t count = 0;
                unsigned char high = 0; // every odd byte ORed together
                unsigned char last[2] = {1, 1};
                void put(char16_t byte) {
                    if (count % 2 != 0) {
                        high = static_cast<unsigned char>(high | byte);
                    }
                    last[count % 2] = static_cast<unsigned char>(byte);
                    ++count;
                }
            } measure;
            if (!run(measure) || measure.count % 2 != 0) {
                return;
            }
            const bool terminated =
                measure.count != 0 && measure.last[0] == 0 && measure.last[1] == 0;
            const bool compact = measure.high == 0;
            const std::size_t units =
                measure.count / 2 + (terminated || measure.count == 0 ? 0 : 1);
            char* out = tree_.setValue(current_, name, type, compact ? units : units * 2, compact);
            // Units one byte each when compact: the odd bytes, all zero, are left out.
            struct Write {
                char* out;
                bool compact;
                std::size_t count = 0;
                void put(char16_t byte) {
                    if (!compact || count % 2 == 0) {
                        *out++ = static_cast<char>(byte);
                    }
                    ++count;
                }
            } write{out, compact};
            run(write);
            if (!terminated && measure.count != 0) {
                write.put(0);
                write.put(0);
            }
            return;
        }
        // The bytes are decoded once their encoding is known, from a copy that the file's
        // budget counts while it lasts.
        struct Scratch {
            LoadBudget* budget;
            std::string bytes;
            char* take(std::size_t size) {
                if (budget != nullptr) {
                    budget->hold(LoadBudget::Holder::Scratch, size);
                }
                bytes.assign(size, '\0');
                return bytes.data();
            }
            ~Scratch() {
                if (budget != nullptr) {
                    budget->hold(LoadBudget::Holder::Scratch, 0);
                }
            }
        } scratch{tree_.budget(), {}};
        std::string& raw = scratch.bytes;
        if (!StoredText::bytes(run, [&](std::size_t size) { return scratch.take(size); })) {
            return;
        }
        if (raw.empty()) {
            tree_.setValue(current_, name, type, std::size_t{0});
            return;
        }
        const Encoding encoding =
            TextCodec::isValidUtf8(raw) ? Encoding::Utf8 : Encoding::Windows1252;
        const std::string_view bytes = raw;
        StoredText::text(
            [&](auto& sink) {
                for (std::size_t i = 0; i < bytes.size();) {
                    putChar(bytes, i, encoding, sink);
                }
                if (bytes.back() != 0) {
                    sink.put(u'\0');
                }
                return true;
            },
            [&](std::size_t size, bool compact) {
                return tree_.setValue(current_, name, type, size, compact);
            });
    }

    RegistryTree& tree_;
    Encoding encoding_;
    bool unicode_;
    bool checkUtf8_; // 8-bit text read as UTF-8 until a byte says otherwise
    std::uint32_t current_ = npos;
};

// Returns false with error set for a file without a header, or false with error empty when an
// 8-bit text read as UTF-8 (checkUtf8) proved not to be.
template <class Unit>
bool parseText(ByteSource& source, Encoding encoding, bool checkUtf8, RegistryTree& tree,
               std::string& error) {
    TextWindow<Unit> text(source, checkUtf8, tree.budget());
    Lines<Unit> lines(text);
    std::basic_string_view<Unit> header;
    if (!lines.next(header)) {
        error = "empty file";
        return false;
    }
    header = header.substr(skipSpaces(header, 0));
    bool unicode = false;
    if (equalsAscii(header, "Windows Registry Editor Version 5.00")) {
        unicode = true;
    } else if (!equalsAscii(header, "REGEDIT4")) {
        error = "no registry file header";
        return false;
    }
    Parser<Unit> parser(tree, encoding, unicode, checkUtf8);
    return parser.run(lines);
}

} // namespace

bool RegEditFileParser::parse(ByteSource& source, RegistryTree& tree, std::string& error) {
    const std::string_view start = source.peek(3);
    if (start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0xFF &&
        static_cast<unsigned char>(start[1]) == 0xFE) {
        source.skip(2);
        return parseText<char16_t>(source, Encoding::Utf16, false, tree, error);
    }
    if (start == "\xEF\xBB\xBF") {
        source.skip(3);
        return parseText<char>(source, Encoding::Utf8, false, tree, error);
    }
    // UTF-8 unless some byte of the file is not; that shows only once the file has been read,
    // so the tree is started again from the top when it shows.
    if (parseText<char>(source, Encoding::Utf8, true, tree, error) || !error.empty()) {
        return error.empty();
    }
    tree.clear();
    if (!source.rewind()) {
        return true; // the source tells why
    }
    return parseText<char>(source, Encoding::Windows1252, false, tree, error);
}

bool RegEditFileParser::parse(std::string_view bytes, RegistryTree& tree, std::string& error) {
    ByteSource source(bytes);
    return parse(source, tree, error);
}

} // namespace slidevane
