#include "TemplateFormat.h"

#include "adapters/posix/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace slidevane {

namespace {

constexpr std::string_view CompoundFileSignature("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", 8);
constexpr std::string_view ZipLocalHeader("PK\x03\x04", 4);
constexpr std::string_view ZipCentralHeader("PK\x01\x02", 4);
constexpr std::string_view ZipEndOfDirectory("PK\x05\x06", 4);
constexpr std::string_view OdfPrefix = "application/vnd.oasis.opendocument.";
constexpr std::string_view OdfPresentation = "application/vnd.oasis.opendocument.presentation";

// What of a file is read: its head, and at most this much of a ZIP's central directory.
constexpr std::size_t HeadBytes = 4096;
constexpr std::size_t MaxDirectoryBytes = 16 * 1024 * 1024;
// The end-of-directory record (22 bytes) and a comment of up to 65535 bytes after it.
constexpr std::size_t MaxTailBytes = 22 + 65535;

unsigned Word(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t Long(std::string_view bytes, std::size_t at) {
    return Word(bytes, at) | static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

// The ODF rule: the first entry is "mimetype", stored, its content the package's type.
bool FirstEntryMimetype(std::string_view head, std::string& type) {
    if (head.size() < 30 || Word(head, 8) != 0) {
        return false;
    }
    std::size_t const nameLength = Word(head, 26);
    std::size_t const extraLength = Word(head, 28);
    std::size_t const size = Long(head, 18);
    if (head.substr(30, nameLength) != "mimetype" || size > 200 ||
        head.size() < 30 + nameLength + extraLength + size) {
        return false;
    }
    type = std::string(head.substr(30 + nameLength + extraLength, size));
    return true;
}

enum class Package { Unknown, Odf, Ooxml, Damaged };

// Walks the central directory for the entries that name the kind of package.
Package CentralDirectoryKind(RegularFile& file) {
    std::uint64_t const size = file.size();
    std::uint64_t const tailStart = size > MaxTailBytes ? size - MaxTailBytes : 0;
    std::string tail;
    if (!file.readAt(tailStart, static_cast<std::size_t>(size - tailStart), tail)) {
        return Package::Damaged;
    }
    std::size_t const end = tail.rfind(ZipEndOfDirectory);
    if (end == std::string::npos || tail.size() - end < 22) {
        return Package::Damaged;
    }
    std::uint64_t const directorySize = Long(tail, end + 12);
    std::uint64_t const directoryStart = Long(tail, end + 16);
    if (directorySize > MaxDirectoryBytes || directoryStart + directorySize > size) {
        return Package::Damaged;
    }
    std::string directory;
    if (!file.readAt(directoryStart, static_cast<std::size_t>(directorySize), directory)) {
        return Package::Damaged;
    }
    bool odf = false;
    std::size_t at = 0;
    while (directory.size() - at >= 46 && directory.substr(at, 4) == ZipCentralHeader) {
        std::size_t const nameLength = Word(directory, at + 28);
        std::size_t const entryLength =
            46 + nameLength + Word(directory, at + 30) + Word(directory, at + 32);
        if (directory.size() - at < entryLength) {
            return Package::Damaged;
        }
        std::string_view const name = std::string_view(directory).substr(at + 46, nameLength);
        if (name == "[Content_Types].xml") {
            return Package::Ooxml;
        }
        odf = odf || name == "META-INF/manifest.xml";
        at += entryLength;
    }
    return odf ? Package::Odf : Package::Unknown;
}

// A flat ODF document: XML whose root element carries the presentation's media type.
bool FlatOdfPresentation(std::string_view head) {
    std::size_t start = head.substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0;
    while (start < head.size() && (head[start] == ' ' || head[start] == '\n' ||
                                   head[start] == '\r' || head[start] == '\t')) {
        ++start;
    }
    return head.substr(start, 5) == "<?xml" &&
           head.find("office:mimetype=\"" + std::string(OdfPresentation)) != std::string::npos;
}

} // namespace

bool TemplateFormat::Identify(RegularFile& file, std::string& what) {
    std::string head;
    if (!file.readAt(0, HeadBytes, head)) {
        what = file.problem();
        return false;
    }
    if (head.empty()) {
        what = "empty";
        return false;
    }
    if (head.substr(0, CompoundFileSignature.size()) == CompoundFileSignature) {
        what = "OLE compound file";
        return true;
    }
    if (head.substr(0, ZipLocalHeader.size()) == ZipLocalHeader) {
        // The office finds a package's parts through its central directory: without a whole
        // one it cannot open the file, whatever the first entry says.
        Package const package = CentralDirectoryKind(file);
        if (package == Package::Damaged) {
            what = file.status() == RegularFile::Status::Unreadable ? file.problem()
                                                                    : "damaged ZIP archive";
            return false;
        }
        std::string type;
        if (FirstEntryMimetype(head, type)) {
            if (type.rfind(OdfPresentation, 0) == 0) {
                what = "ODF " + type.substr(OdfPrefix.size());
                std::replace(what.begin(), what.end(), '-', ' '); // "presentation template"
                return true;
            }
            what = "not a presentation file (an ODF package of type " + type + ")";
            return false;
        }
        switch (package) {
        case Package::Odf:
            what = "ODF package";
            return true;
        case Package::Ooxml:
            what = "OOXML package";
            return true;
        case Package::Damaged:
        case Package::Unknown:
            break;
        }
        what = "not a presentation file (a ZIP archive that is neither ODF nor OOXML)";
        return false;
    }
    if (FlatOdfPresentation(head)) {
        what = "flat ODF presentation";
        return true;
    }
    what = "not a presentation file";
    return false;
}

} // namespace slidevane
