#include "HostileRegistryFiles.h"

#include "adapters/posix/TextCodec.h"

#include <cstdio>
#include <string_view>

namespace slidevane::test {

namespace {

const std::string kHiveHeader = "WINE REGISTRY Version 2\n;; All keys relative to "
                                "REGISTRY\\\\Machine\n\n#arch=win32\n\n";
const std::string kRegHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

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
    if (format != Format::RegUtf16) {
        return out;
    }
    const std::u16string units = TextCodec::fromUtf8(out);
    return "\xFF\xFE" + TextCodec::toUtf16le(units);
}

} // namespace slidevane::test
