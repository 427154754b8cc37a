#include "HostileRegistryFiles.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/RegistryTree.h"
#include "adapters/posix/TextCodec.h"

#include <cstdio>
#include <string_view>

namespace slidevane::test {

namespace {

const std::string kHiveHeader = "WINE REGISTRY Version 2\n;; All keys relative to "
                                "REGISTRY\\\\Machine\n\n#arch=win32\n\n";
const std::string kRegHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string kUserHiveHeader = "WINE REGISTRY Version 2\n;; All keys relative to "
                                    "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n\n";

// A key line as a hive writes it: separators doubled.
std::string hiveKey(std::string_view path) {
    std::string out = "[";
    for (const char c : path) {
        out += c;
        if (c == '\\') {
            out += '\\';
        }
    }
    return out + "] 1796616432\n#time=1dd86006f86ed66\n";
}

// A link key: the target as UTF-16LE hex with no NUL, wrapped the way the hive writer wraps.
std::string linkKey(std::string_view path, std::string_view target) {
    std::string out = hiveKey(path) + "#link\n\"SymbolicLinkValue\"=hex(6):";
    out.reserve(out.size() + target.size() * 7);
    char byte[4];
    std::size_t written = 0;
    for (std::size_t i = 0; i < target.size(); ++i) {
        for (const unsigned char b : {static_cast<unsigned char>(target[i]), (unsigned char)0}) {
            if (written != 0) {
                out += written % 25 == 0 ? ",\\\n  " : ",";
            }
            std::snprintf(byte, sizeof byte, "%02x", b);
            out += byte;
            ++written;
        }
    }
    return out + "\n\n";
}

std::string repeated(std::string_view part, std::size_t times) {
    std::string out;
    out.reserve(part.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

// The text of a registry editor file in the format's encoding and with its header.
std::string inFormat(std::string_view body, HostileRegistryFiles::Format format) {
    using Format = HostileRegistryFiles::Format;
    if (format == Format::Regedit4) {
        return "REGEDIT4\r\n\r\n" + std::string(body);
    }
    const std::string text = kRegHeader + std::string(body);
    if (format != Format::RegUtf16) {
        return text;
    }
    return "\xFF\xFE" + TextCodec::toUtf16le(TextCodec::fromUtf8(text));
}

std::string deepChain(int depth) {
    return "Software\\Chain" + repeated("\\d", static_cast<std::size_t>(depth));
}

} // namespace

std::string HostileRegistryFiles::catalogue() {
    return kRegHeader + "[HKEY_LOCAL_MACHINE\\" + kAppKey +
           "]\r\n\"PresentPath\"=\"C:\\\\Program Files\\\\Norvale\\\\Slidevane3\\\\\"\r\n";
}

std::string HostileRegistryFiles::longLinkTarget(std::size_t targetUnits) {
    std::string target = "\\Registry\\Machine\\Software";
    target += repeated("\\a", targetUnits > target.size() ? (targetUnits - target.size()) / 2 : 0);
    return kHiveHeader + linkKey("Software", target);
}

std::string HostileRegistryFiles::manyPartLinkTarget(std::size_t parts) {
    return kHiveHeader +
           linkKey("Software", "\\Registry\\Machine\\Software" + repeated("\\x", parts));
}

std::string HostileRegistryFiles::chainedLinks(int hops, int depth) {
    const std::string deep = deepChain(depth);
    std::string out = kHiveHeader;
    for (int k = 0; k < hops; ++k) {
        const std::string at =
            k == 0 ? "Software\\Chain\\Hop0" : deep + "\\Hop" + std::to_string(k);
        const std::string next = k + 1 == hops ? "End" : "Hop" + std::to_string(k + 1);
        out += linkKey(at, "\\Registry\\Machine\\" + deep + "\\" + next);
    }
    return out + hiveKey(deep + "\\End") + "\"Reached\"=\"yes\"\n\n";
}

std::string HostileRegistryFiles::linkLoops() {
    const std::string loop = "\\Registry\\Machine\\Software\\Loop\\";
    return kHiveHeader + linkKey("Software\\Loop\\Self", loop + "Self") +
           linkKey("Software\\Loop\\A", loop + "B") + linkKey("Software\\Loop\\B", loop + "A");
}

std::string HostileRegistryFiles::longPresentPath(std::size_t components) {
    return kRegHeader + "[HKEY_LOCAL_MACHINE\\" + kAppKey + "]\r\n\"PresentPath\"=\"" +
           repeated("/x", components) + "\"\r\n";
}

std::string HostileRegistryFiles::longValueLine(std::size_t bytes, bool hive) {
    std::string out = hive ? kHiveHeader + hiveKey(kAppKey)
                           : kRegHeader + "[HKEY_LOCAL_MACHINE\\" + kAppKey + "]\r\n";
    out += "\"PresentPath\"=\"";
    out.append(bytes > out.size() ? bytes - out.size() : 0, 'x');
    return out + (hive ? "\"\n" : "\"\r\n");
}

std::string HostileRegistryFiles::longCommentLine(std::size_t bytes, bool hive) {
    std::string out = hive ? kHiveHeader + hiveKey(kAppKey)
                           : kRegHeader + "[HKEY_LOCAL_MACHINE\\" + kAppKey + "]\r\n";
    out += ';';
    out.append(bytes > out.size() ? bytes - out.size() : 0, 'x');
    return out + (hive ? "\n" : "\r\n");
}

std::string HostileRegistryFiles::componentKey(int i) {
    char key[96];
    std::snprintf(key, sizeof key, "Software\\Vendor %03d\\Product %03d\\%d.%d\\Component %05d",
                  i % 500, (i / 500) % 100, i % 7, i % 3, i);
    return key;
}

std::string HostileRegistryFiles::componentName(int i) {
    char name[96];
    std::snprintf(name, sizeof name, "Component %05d of a product installed for the benchmark", i);
    return name;
}

const char* HostileRegistryFiles::formatName(Format format) {
    switch (format) {
    case Format::Hive:
        return "hive";
    case Format::RegUtf8:
        return "5.00 UTF-8";
    case Format::RegUtf16:
        return "5.00 UTF-16";
    case Format::Regedit4:
        return "REGEDIT4";
    }
    return "";
}

std::uint32_t HostileRegistryFiles::unkeyedHash(std::uint32_t owner, std::u16string_view name) {
    std::uint64_t h = 0xcbf29ce484222325ull ^ (std::uint64_t{owner} * 0x9E3779B97F4A7C15ull);
    for (const char16_t unit : name) {
        h = (h ^ CaseFold::fold(unit)) * 0x100000001b3ull;
    }
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::vector<std::u16string> HostileRegistryFiles::clusteringNames(std::uint32_t owner,
                                                                  std::size_t count,
                                                                  std::size_t tableSlots) {
    // A sixteenth of the slots takes sixteen tries a name, where one slot would take thousands,
    // and the cluster costs the same: each name is placed past all those before it.
    std::vector<std::u16string> names;
    const std::size_t mask = tableSlots - 1;
    for (std::uint64_t n = 0; names.size() < count; ++n) {
        std::u16string name = u"k";
        for (const char c : std::to_string(n)) {
            name += static_cast<char16_t>(c);
        }
        if ((unkeyedHash(owner, name) & mask) < tableSlots / 16) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::vector<std::string> HostileRegistryFiles::hashFloodNames(std::size_t count) {
    // The index doubled to stay at most half full.
    std::size_t slots = 16;
    while (slots < (count + 1) * 2) {
        slots *= 2;
    }
    std::vector<std::string> names;
    for (const std::u16string& name :
         clusteringNames(RegistryTree::rootKey(RegistryTree::Root::CurrentUser), count, slots)) {
        names.push_back(TextCodec::toNarrow(name, TextCodec::Narrow::Utf8));
    }
    return names;
}

std::string HostileRegistryFiles::hashFlood(const std::vector<std::string>& names) {
    std::string out = kRegHeader;
    for (const std::string& name : names) {
        out += "[HKCU\\" + name + "]\r\n";
    }
    return out;
}

const char* HostileRegistryFiles::shapeName(Shape shape) {
    switch (shape) {
    case Shape::Deep:
        return "deep";
    case Shape::Wide:
        return "wide";
    case Shape::Flat:
        return "flat";
    }
    return "";
}

std::string HostileRegistryFiles::denseKey(Shape shape, std::size_t i) {
    switch (shape) {
    case Shape::Deep: {
        std::string key = std::to_string(i);
        for (std::size_t c = 0; c < kDeepComponents; ++c) {
            key += '\\';
            key += static_cast<char>('a' + c % 26);
        }
        return key;
    }
    case Shape::Wide:
        return "Wide\\" + std::to_string(i);
    case Shape::Flat:
        return "Flat";
    }
    return "";
}

std::string HostileRegistryFiles::denseValueName(std::size_t i) {
    return std::to_string(i);
}

std::string HostileRegistryFiles::dense(Shape shape, std::size_t bytes, Format format) {
    const bool hive = format == Format::Hive;
    // UTF-16 takes two bytes a character.
    const std::size_t textBytes = format == Format::RegUtf16 ? bytes / 2 : bytes;
    // No time stamp or #time line in a hive, and LF alone: the densest the reader takes.
    auto keyLine = [hive](const std::string& key) {
        if (!hive) {
            return "[HKEY_CURRENT_USER\\" + key + "]\n";
        }
        const std::string line = hiveKey(key);
        return line.substr(0, line.find(']') + 1) + "\n";
    };
    std::string body;
    if (shape == Shape::Flat) {
        body = keyLine(denseKey(shape, 0));
    }
    for (std::size_t i = 0; body.size() + (hive ? kUserHiveHeader.size() : 0) < textBytes; ++i) {
        if (shape == Shape::Flat) {
            const std::string name = denseValueName(i);
            body += "\"" + name + "\"=\"" + name + "\"\n";
        } else {
            body += keyLine(denseKey(shape, i));
        }
    }
    return hive ? kUserHiveHeader + body : inFormat(body, format);
}

std::string HostileRegistryFiles::manyKeys(int components, Format format) {
    const bool hive = format == Format::Hive;
    std::string out = hive ? kHiveHeader : kRegHeader;
    char line[512];
    for (int i = 0; i < components; ++i) {
        const std::string key = componentKey(i);
        if (hive) {
            out += hiveKey(key);
        } else {
            out += "[HKEY_LOCAL_MACHINE\\" + key + "]\r\n";
        }
        // The hive escapes non-ASCII text; a registry editor file holds it as it is.
        std::snprintf(line, sizeof line,
                      "\"InstallLocation\"=\"C:\\\\Program Files\\\\Vendor %03d\\\\Product "
                      "%03d\\\\Component %05d\\\\\"\n\"DisplayName\"=\"%s\"\n"
                      "\"Version\"=dword:%08x\n"
                      "\"Flags\"=hex:%02x,00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,"
                      "10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f\n"
                      "\"Comment\"=\"%s %d\"\n\n",
                      i % 500, (i / 500) % 100, i, componentName(i).c_str(), i, i & 0xFF,
                      hive ? "caf\\xe9 \\x2603" : "caf\xC3\xA9 \xE2\x98\x83", i);
        out += line;
    }
    return hive ? out : inFormat(std::string_view(out).substr(kRegHeader.size()), format);
}

} // namespace slidevane::test
