#include "ProgramOptions.h"

#include <string_view>

namespace slidevane {

ProgramOptions ProgramOptions::Parse(int count, const char* const* arguments,
                                     const char* officeAhead) {
    ProgramOptions options;
    if (officeAhead != nullptr) {
        std::string_view const value = officeAhead;
        options.officeAhead =
            !(value == "0" || value == "no" || value == "off" || value == "false");
    }
    for (int i = 0; i < count; ++i) {
        std::string_view const argument = arguments[i];
        if (argument == "--no-office-ahead") {
            options.officeAhead = false;
        } else if (argument == "--office-ahead") {
            options.officeAhead = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            options.error = "unknown option " + std::string(argument);
        }
    }
    return options;
}

const char* ProgramOptions::Usage() {
    return "Usage: slidevane3 [--no-office-ahead | --office-ahead]\n"
           "Browse the installed template pack; a double-click on a preview opens its template\n"
           "in LibreOffice Impress.\n"
           "\n"
           "  --no-office-ahead  do not start the office in the background while you browse;\n"
           "                     the first double-click starts it (as does\n"
           "                     SLIDEVANE3_OFFICE_AHEAD=0)\n"
           "  --office-ahead     start it ahead even when SLIDEVANE3_OFFICE_AHEAD=0 (default)\n";
}

} // namespace slidevane
