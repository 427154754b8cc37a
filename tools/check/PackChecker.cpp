#include "PackChecker.h"

#include "catalogue/Catalogue.h"
#include "catalogue/PictureNames.h"
#include "presentation/PresentationDetector.h"
#include "shell/RuntimeError.h"

#include <iomanip>
#include <optional>
#include <vector>

namespace slidevane {

namespace {

// Texts from the catalogue may end in their stored NUL; show what precedes it.
std::string Shown(const std::string& text) { return text.substr(0, text.find('\0')); }

const char* StateWord(PathState state) {
    switch (state) {
    case PathState::Found:
        return "found";
    case PathState::FileMissing:
        return "MISSING (file not found)";
    case PathState::FolderMissing:
        return "MISSING (folder not found)";
    }
    return "";
}

std::string ErrorLine(const RuntimeError& error) {
    return "error " + std::to_string(error.Number()) + ": " + error.Description();
}

} // namespace

PackChecker::PackChecker(RegistryApi& registry, Resolver resolve, std::ostream& out)
    : registry_(registry), resolve_(std::move(resolve)), out_(out) {}

bool PackChecker::CheckFile(const std::string& label, const std::string& path) {
    ResolvedPath const resolved = resolve_(path);
    out_ << "    " << std::left << std::setw(28) << StateWord(resolved.state) << label;
    if (resolved.state == PathState::Found) {
        out_ << "  (" << resolved.native << ")";
    }
    out_ << "\n";
    return resolved.state == PathState::Found;
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
                out_ << "    " << std::left << std::setw(28) << "absent from the catalogue"
                     << label << "(the purchase message is shown instead)\n";
                continue;
            }
            complete &= CheckFile(label + Shown(file), templateFolder + file);
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
            ++pictures_;
            missing_ += CheckFile(path.substr(uiFolder.size()), path) ? 0 : 1;
        }
        for (char look : {'a', 'b', 'c'}) {
            for (std::int16_t number = 4; number <= 6; ++number) {
                // The highlighted thumbnail is shown only for templates the catalogue holds.
                if (look == 'b' && !catalogue.LookupTemplateFile(ignored, category,
                                                                 static_cast<std::int16_t>(number - 3))) {
                    continue;
                }
                std::string const path = PictureNames::Preview(uiFolder, title, look, number);
                ++pictures_;
                missing_ += CheckFile(path.substr(uiFolder.size()), path) ? 0 : 1;
            }
        }
    }
    for (std::string const& path : {PictureNames::WebNormal(uiFolder), PictureNames::WebHover(uiFolder)}) {
        ++pictures_;
        missing_ += CheckFile(path.substr(uiFolder.size()), path) ? 0 : 1;
    }
    complete &= missing_ == 0;

    out_ << "\n" << pictures_ << " pictures, " << missing_ << " missing.\n";
    out_ << (complete ? "Nothing the program needs is missing.\n"
                      : "Something the program needs is missing (see above).\n");
    return complete ? AllPresent : SomethingMissing;
}

} // namespace slidevane
