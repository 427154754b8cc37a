#include "BenchPack.h"

#include "PackRegistryFile.h"

#include <fstream>
#include <stdexcept>

namespace slidevane::bench {

namespace fs = std::filesystem;

namespace {

constexpr const char* Titles[] = {
    "Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
    "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};

} // namespace

BenchPack::BenchPack(const fs::path& samplePack, const fs::path& folder,
                     const std::vector<fs::path>& templates) {
    if (templates.size() > 30) {
        throw std::runtime_error("a pack holds at most 30 templates");
    }
    fs::create_directories(folder / "TEMPLATE");
    fs::copy(samplePack / "UI", folder / "UI", fs::copy_options::recursive);
    for (const fs::path& file : templates) {
        fs::path const copy = folder / "TEMPLATE" / file.filename();
        fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
        copies_.push_back(copy);
    }

    registry_ = folder.parent_path() / (folder.filename().string() + ".reg");
    std::ofstream out(registry_, std::ios::binary);
    std::string const root = R"([HKEY_LOCAL_MACHINE\SOFTWARE\Norvale Inc.\Slidevane3\1.0)";
    out << "Windows Registry Editor Version 5.00\r\n\r\n"
        << root << "]\r\n\"PresentPath\"=" << PackRegistryFile::Quoted(folder.string())
        << "\r\n\r\n"
        << root << "\\INDEX]\r\n";
    for (int k = 0; k < 10; ++k) {
        out << '"' << k << "\"=" << PackRegistryFile::Quoted(Titles[k]) << "\r\n";
    }
    for (std::size_t i = 0; i < copies_.size(); ++i) {
        Place const place = PlaceOf(i);
        if (place.thumbnail == 1) {
            out << "\r\n" << root << "\\TEMPLATE\\" << place.category << "]\r\n";
        }
        out << '"' << place.thumbnail
            << "\"=" << PackRegistryFile::Quoted(copies_[i].filename().string()) << "\r\n";
    }
    if (!out) {
        throw std::runtime_error("cannot write " + registry_.string());
    }
}

} // namespace slidevane::bench
