#include "PackChecker.h"

#include "catalogue/Catalogue.h"
#include "catalogue/PictureNames.h"
#include "platform/RuntimeError.h"
#include "presentation/PresentationDetector.h"

#include <iomanip>
#include <optional>
#include <vector>

namespace slidevane {

namespace {

// Texts from the catalogue may end in their stored NUL; show what precedes it.
std::string Shown(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

const char* StateWord(FileVerdict::State state) {
    switch (state) {
    case FileVerdict::State::Usable:
        return "found";
    case FileVerdict::State::FileMissing:
        return "MISSING (file not found)";
    case FileVerdict::State::FolderMissing:
        return "MISSING (folder not found)";
    case FileVerdict::State::Unusable:
        return "UNUSABLE";
    }
    return "";
}

std::string Counted(int count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

std::string ErrorLine(const RuntimeError& error) {
    return "error " + std::to_string(error.Number()) + ": " + error.Description();
}

} // namespace

PackChecker::PackChecker(RegistryApi& registry, const PackFiles& files, std::ostream& out)
    : registry_(registry), files_(files), out_(out) {}

bool PackChecker::Report(const std::string& label, const FileVerdict& verdict, Tally& tally) {
    ++tally.files;
    tally.missing += verdict.state == FileVerdict::State::FileMissing ||
                     verdict.state == FileVerdict::State::FolderMissing;
    tally.unusable += verdict.state == FileVerdict::State::Unusable;
    out_ << "    " << std::left << std::setw(28) << StateWord(verdict.state) << label;
    if (verdict.state == FileVerdict::State::Unusable) {
        out_ << ": " << verdict.detail << "  (" << verdict.native << ")";
    } else if (verdict.state == FileVerdict::State::Usable) {
        out_ << "  (" << verdict.native << (verdict.detail.empty() ? "" : ", " + verdict.detail)
             << ")";
    }
    out_ << "\n";
    return verdict.state == FileVerdict::State::Usable;
}

int PackChecker::Run() {
    Module1 module1(registry_);
    Catalogue catalogue(module1);

    std::string uiFolder;
    std::string templateFolder;
    try {
        out_ << "Install folder:  " << catalogue.InstallFolder() << "\n";
        uiFolder = catalogue.GetDefaultPath();
        templateFolder = catalogue.GetDefaultTemplatePath();
    } catch (const RuntimeError& error) {
        out_ << "The catalogue under HKEY_LOCAL_MACHINE\\" << Catalogue::CatalogueKey
             << " cannot be read: \"PresentPath\" gives " << ErrorLine(error) << "\n";
        return CatalogueUnreadable;
    }
    out_ << "UI folder:       " << uiFolder << "\n";
    out_ << "Template folder: " << templateFolder << "\n";
    if (PresentationDetector::HasInstallRecord(module1, "9.0")) {
        out_ << "Presentation application: version 9 found\n\n";
    } else if (PresentationDetector::HasInstallRecord(module1, "8.0")) {
        out_ << "Presentation application: version 8 found\n\n";
    } else {
        out_ << "Presentation application: none found (the program will refuse to start)\n\n";
    }

    bool complete = true;
    Tally templates;
    Tally pictures;
    std::vector<std::optional<std::string>> titles;
    out_ << "Categories:\n";
    for (std::int16_t category = 0; category <= 9; ++category) {
        std::optional<std::string> title;
        try {
            title = catalogue.GetIndexTitle(category);
            out_ << "  " << category << "  " << *title << "\n";
        } catch (const RuntimeError& error) {
            complete = false;
            out_ << "  " << category << "  title unreadable: " << ErrorLine(error) << "\n";
        }
        titles.push_back(title);
        for (std::int16_t number = 1; number <= 3; ++number) {
            std::string file;
            std::string const label = "template " + std::to_string(number) + ": ";
            if (!catalogue.LookupTemplateFile(file, category, number)) {
                out_ << "    " << std::left << std::setw(28) << "absent from the catalogue" << label
                     << "(the purchase message is shown instead)\n";
                continue;
            }
            complete &=
                Report(label + Shown(file), files_.Template(templateFolder + file), templates);
        }
    }

    out_ << "\nPictures:\n";
    for (std::int16_t category = 0; category <= 9; ++category) {
        if (!titles[static_cast<std::size_t>(category)]) {
            continue;
        }
        std::string const& title = *titles[static_cast<std::size_t>(category)];
        std::string ignored;
        for (char look : {'a', 'b', 'c'}) {
            std::string const path = PictureNames::Strip(uiFolder, title, look);
            Report(path.substr(uiFolder.size()), files_.Picture(path), pictures);
        }
        for (char look : {'a', 'b', 'c'}) {
            for (std::int16_t number = 4; number <= 6; ++number) {
                // The highlighted thumbnail is shown only for templates the catalogue holds.
                if (look == 'b' && !catalogue.LookupTemplateFile(
                                       ignored, category, static_cast<std::int16_t>(number - 3))) {
                    continue;
                }
                std::string const path = PictureNames::Preview(uiFolder, title, look, number);
                Report(path.substr(uiFolder.size()), files_.Picture(path), pictures);
            }
        }
    }
    for (std::string const& path :
         {PictureNames::WebNormal(uiFolder), PictureNames::WebHover(uiFolder)}) {
        Report(path.substr(uiFolder.size()), files_.Picture(path), pictures);
    }
    complete &= pictures.missing == 0 && pictures.unusable == 0;

    out_ << "\n"
         << Counted(templates.files, "template") << ", " << templates.missing << " missing, "
         << templates.unusable << " unusable.\n"
         << Counted(pictures.files, "picture") << ", " << pictures.missing << " missing, "
         << pictures.unusable << " unusable.\n";
    out_ << (complete ? "Nothing the program needs is missing or unusable.\n"
                      : "Something the program needs is missing or unusable (see above).\n");
    return complete ? AllUsable : SomethingWrong;
}

} // namespace slidevane
