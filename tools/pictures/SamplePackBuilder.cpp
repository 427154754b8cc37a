#include "SamplePackBuilder.h"

#include "CompoundFile.h"
#include "ControlArt.h"
#include "DesignCatalogue.h"
#include "FlatPresentationWriter.h"
#include "OfficeConverter.h"
#include "PreviewFrame.h"
#include "StoredPictures.h"

#include <QImage>
#include <QString>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

const char* const RegistryKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";

// Rendered slides carry gradients; a full palette keeps their banding down.
constexpr int PreviewColours = 256;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// Drops the export's half-megabyte preview and checks the result still reads back the same.
void CompactLegacyTemplate(const fs::path& from, const fs::path& to) {
    CompoundFile file = CompoundFile::Parse(ReadAll(from));
    if (!file.Remove(u"\x05SummaryInformation"))
        std::cerr << "note: " << from.filename() << " had no summary stream\n";
    const std::vector<std::uint8_t> bytes = file.Serialise();
    const CompoundFile back = CompoundFile::Parse(bytes);
    if (back.Streams().size() != file.Streams().size())
        throw std::logic_error("compacted template lost streams");
    WriteAll(to, bytes);
}

std::string Ui(const std::string& title, const std::string& rest) {
    return title + rest;
}

} // namespace

std::string SamplePackBuilder::RegistryTemplate() {
    std::string r = "Windows Registry Editor Version 5.00\r\n\r\n";
    r += "[" + std::string(RegistryKey) + "]\r\n";
    r += "\"PresentPath\"=\"@PACK_DIR@\"\r\n\r\n";
    r += "[" + std::string(RegistryKey) + "\\INDEX]\r\n";
    for (int c = 0; c < DesignCatalogue::CategoryCount; ++c)
        r += "\"" + std::to_string(c) + "\"=\"" + DesignCatalogue::Titles()[c] + "\"\r\n";
    for (int c = 0; c < DesignCatalogue::CategoryCount; ++c) {
        r += "\r\n[" + std::string(RegistryKey) + "\\TEMPLATE\\" + std::to_string(c) + "]\r\n";
        for (int slot = 1; slot <= DesignCatalogue::SlotsPerCategory; ++slot) {
            const std::string file = DesignCatalogue::RegisteredFile(c, slot);
            if (!file.empty())
                r += "\"" + std::to_string(slot) + "\"=\"" + file + "\"\r\n";
        }
    }
    return r;
}

void SamplePackBuilder::Build() {
    const fs::path ui = pack_ / "UI";
    const fs::path templates = pack_ / "TEMPLATE";
    for (const fs::path& folder : {ui, templates}) {
        fs::create_directories(folder);
        for (const auto& entry : fs::directory_iterator(folder)) {
            const auto ext = entry.path().extension();
            if (ext == ".gif" || ext == ".otp" || ext == ".pot")
                fs::remove(entry.path());
        }
    }
    const fs::path work =
        fs::temp_directory_path() / ("slidevane3-pack-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work / "flat");

    std::vector<fs::path> flat;
    std::vector<fs::path> legacy;
    for (int c = 0; c < DesignCatalogue::CategoryCount; ++c) {
        for (int slot = 1; slot <= DesignCatalogue::SlotsPerCategory; ++slot) {
            const auto design = DesignCatalogue::Design(c, slot);
            if (!design)
                continue;
            const fs::path path = work / "flat" / (design->stem + ".fodp");
            std::ofstream(path) << FlatPresentationWriter::Write(*design);
            flat.push_back(path);
            if (DesignCatalogue::HasLegacyCopy(c, slot))
                legacy.push_back(path);
        }
    }

    OfficeConverter office;
    for (const fs::path& otp : office.Convert(flat, "otp:impress8_template", work / "otp"))
        fs::copy_file(otp, templates / otp.filename(), fs::copy_options::overwrite_existing);
    std::vector<fs::path> shippedLegacy;
    for (const fs::path& pot :
         office.Convert(legacy, "pot:MS PowerPoint 97 Vorlage", work / "pot")) {
        CompactLegacyTemplate(pot, templates / pot.filename());
        shippedLegacy.push_back(templates / pot.filename());
    }
    // The compacted files must still open in the suite, not merely parse here.
    office.Convert(shippedLegacy, "png", work / "legacy-check");

    std::vector<fs::path> shipped;
    for (const fs::path& f : flat)
        shipped.push_back(templates / f.filename().replace_extension(".otp"));
    office.Convert(shipped, "png", work / "renders");
    WritePictures(work / "renders");

    std::ofstream(pack_ / "slidevane3.reg.in", std::ios::binary) << RegistryTemplate();
    fs::remove_all(work);
}

void SamplePackBuilder::WritePictures(const fs::path& renders) const {
    const fs::path ui = pack_ / "UI";
    using Look = ControlArt::StripLook;
    for (int c = 0; c < DesignCatalogue::CategoryCount; ++c) {
        const std::string& title = DesignCatalogue::Titles()[c];
        const QString qtitle = QString::fromStdString(title);
        StoredPictures::WriteGif(ControlArt::StripButton(qtitle, Look::Normal),
                                 ui / ("b_" + Ui(title, "-a.gif")));
        StoredPictures::WriteGif(ControlArt::StripButton(qtitle, Look::Hover),
                                 ui / ("b_" + Ui(title, "-b.gif")));
        StoredPictures::WriteGif(ControlArt::StripButton(qtitle, Look::Current),
                                 ui / ("b_" + Ui(title, "-c.gif")));
        for (int slot = 1; slot <= DesignCatalogue::SlotsPerCategory; ++slot) {
            const std::string number = std::to_string(slot + 3);
            const auto design = DesignCatalogue::Design(c, slot);
            const fs::path a = ui / ("p_" + title + "-a" + number + ".gif");
            const fs::path b = ui / ("p_" + title + "-b" + number + ".gif");
            const fs::path large = ui / ("p_" + title + "-c" + number + ".gif");
            if (!design) {
                StoredPictures::WriteGif(PreviewFrame::MissingThumbnail(), a, {}, PreviewColours);
                StoredPictures::WriteGif(PreviewFrame::MissingMain(), large, {}, PreviewColours);
                continue;
            }
            const fs::path render = renders / (design->stem + ".png");
            const QImage slide(QString::fromStdString(render.string()));
            if (slide.isNull())
                throw std::runtime_error("cannot read the rendered slide " + render.string());
            const QImage rgb = slide.convertToFormat(QImage::Format_RGB32);
            StoredPictures::WriteGif(PreviewFrame::Thumbnail(rgb, false), a, {}, PreviewColours);
            StoredPictures::WriteGif(PreviewFrame::Thumbnail(rgb, true), b, {}, PreviewColours);
            StoredPictures::WriteGif(PreviewFrame::Main(rgb), large, {}, PreviewColours);
        }
    }
    StoredPictures::WriteGif(ControlArt::WebButton(false), ui / "www-1.gif");
    StoredPictures::WriteGif(ControlArt::WebButton(true), ui / "www-2.gif");
}

} // namespace slidevane
