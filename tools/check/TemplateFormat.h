#pragma once

#include <string>

namespace slidevane {

class RegularFile;

// Tells from a template file's own bytes whether it is in a format the office opens as a
// presentation: an OLE compound file (the 97-2003 binary formats), an ODF package whose
// "mimetype" names a presentation or presentation template (or a ZIP holding an ODF manifest),
// an OOXML package (a ZIP holding "[Content_Types].xml"), or a flat ODF presentation (XML). It
// reads the head of the file and, for a ZIP, its central directory: never the whole file.
//
// Owns: the signatures and the ZIP walk. It does not open the file (RegularFile) nor report.
class TemplateFormat {
public:
    // True when the office reads the file as a presentation; `what` says what it is ("ODF
    // presentation template") or why it is not ("not a presentation file").
    static bool Identify(RegularFile& file, std::string& what);
};

} // namespace slidevane
