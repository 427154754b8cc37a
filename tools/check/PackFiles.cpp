#include "PackFiles.h"

#include "TemplateFormat.h"
#include "adapters/posix/RegularFile.h"
#include "picture/GifStructure.h"

namespace slidevane {

namespace {

using State = FileVerdict::State;

// Resolves the path and, when there is something there, opens it.
FileVerdict Resolve(const NativePath& paths, const std::string& catalogPath) {
    NativePath::Resolution const resolution = paths.resolve(catalogPath);
    FileVerdict verdict;
    verdict.native = resolution.path;
    switch (resolution.status) {
    case NativePath::Status::Found:
        verdict.state = State::Usable;
        break;
    case NativePath::Status::FileMissing:
        verdict.state = State::FileMissing;
        break;
    case NativePath::Status::FolderMissing:
        verdict.state = State::FolderMissing;
        break;
    }
    return verdict;
}

// The file's own problem, when it has one before its bytes are looked at.
bool Refused(RegularFile& file, FileVerdict& verdict) {
    if (file.status() == RegularFile::Status::Missing) {
        verdict.state = State::FileMissing;
        return true;
    }
    if (file.status() != RegularFile::Status::Open) {
        verdict.state = State::Unusable;
        verdict.detail = file.problem();
        return true;
    }
    return false;
}

const char* GifProblem(GifStructure::Verdict verdict) {
    switch (verdict) {
    case GifStructure::Verdict::Whole:
        return "";
    case GifStructure::Verdict::NotGif:
        return "not a GIF picture";
    case GifStructure::Verdict::Truncated:
        return "truncated GIF";
    case GifStructure::Verdict::Damaged:
        return "damaged GIF (blocks or codes that no encoder writes)";
    case GifStructure::Verdict::TooLarge:
        return "GIF larger than 4096 x 4096 pixels";
    case GifStructure::Verdict::NoImage:
        return "GIF without a picture";
    }
    return "";
}

} // namespace

PackFiles::PackFiles(NativePath paths) : paths_(std::move(paths)) {}

FileVerdict PackFiles::Picture(const std::string& catalogPath) const {
    FileVerdict verdict = Resolve(paths_, catalogPath);
    if (verdict.state != State::Usable) {
        return verdict;
    }
    RegularFile file(verdict.native);
    if (Refused(file, verdict)) {
        return verdict;
    }
    std::string bytes;
    if (!file.readAll(GifStructure::MaxFileBytes, bytes)) {
        verdict.state = State::Unusable;
        verdict.detail = file.status() == RegularFile::Status::TooLarge
                             ? "larger than the " +
                                   std::to_string(GifStructure::MaxFileBytes >> 20) +
                                   " MiB a picture file may be"
                             : file.problem();
        return verdict;
    }
    if (bytes.empty()) {
        verdict.state = State::Unusable;
        verdict.detail = "empty";
        return verdict;
    }
    GifStructure::Verdict const gif = GifStructure::Check(bytes, GifStructure::MaxSide);
    if (gif != GifStructure::Verdict::Whole) {
        verdict.state = State::Unusable;
        verdict.detail = GifProblem(gif);
    }
    return verdict;
}

FileVerdict PackFiles::Template(const std::string& catalogPath) const {
    FileVerdict verdict = Resolve(paths_, catalogPath);
    if (verdict.state != State::Usable) {
        return verdict;
    }
    RegularFile file(verdict.native);
    if (Refused(file, verdict)) {
        return verdict;
    }
    if (!TemplateFormat::Identify(file, verdict.detail)) {
        verdict.state = State::Unusable;
    }
    return verdict;
}

} // namespace slidevane
