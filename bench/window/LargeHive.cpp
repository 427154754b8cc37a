#include "LargeHive.h"

#include "adapters/posix/RegistryFileStore.h"
#include "catalogue/Catalogue.h"
#include "platform/RuntimeError.h"

#include <cstdio>
#include <fstream>

namespace slidevane::bench {

namespace {

// Hive strings escape backslashes and quotes.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text.substr(0, text.find('\0'))) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

} // namespace

std::string WriteLargeHive(const std::string& folder, const std::string& packRegistry) {
    RegistryFileStore pack({packRegistry});
    Module1 module1(pack);
    Catalogue catalogue(module1);
    std::string const key = "Software\\\\Norvale Inc.\\\\Slidevane3\\\\1.0";
    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                      "#arch=win32\n\n";
    char line[512];
    for (int i = 0; i < 50000; ++i) {
        std::snprintf(
            line, sizeof line,
            "[Software\\\\Vendor %03d\\\\Product %03d\\\\Component %05d] 1796616432\n"
            "\"InstallLocation\"=\"C:\\\\Program Files\\\\Vendor %03d\\\\Component "
            "%05d\\\\\"\n\"Version\"=dword:%08x\n\"Flags\"=hex:%02x,00,01,02,03,04,05,06,07\n\n",
            i % 500, (i / 500) % 100, i, i % 500, i, i, i & 0xFF);
        out += line;
    }
    try {
        out += "[" + key + "] 1796616432\n\"PresentPath\"=\"" + Escaped(catalogue.InstallFolder()) +
               "\"\n\n[" + key + "\\\\INDEX] 1796616432\n";
        for (std::int16_t c = 0; c <= 9; ++c) {
            out +=
                "\"" + std::to_string(c) + "\"=\"" + Escaped(catalogue.GetIndexTitle(c)) + "\"\n";
        }
        for (std::int16_t c = 0; c <= 9; ++c) {
            out += "\n[" + key + "\\\\TEMPLATE\\\\" + std::to_string(c) + "] 1796616432\n";
            for (std::int16_t n = 1; n <= 3; ++n) {
                std::string file;
                if (catalogue.LookupTemplateFile(file, c, n)) {
                    out += "\"" + std::to_string(n) + "\"=\"" + Escaped(file) + "\"\n";
                }
            }
        }
    } catch (const RuntimeError&) {
        return {};
    }
    std::string const hive = folder + "/system.reg";
    std::ofstream(hive, std::ios::binary) << out;
    return hive;
}

} // namespace slidevane::bench
