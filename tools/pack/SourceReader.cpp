#include "SourceReader.h"

#include "adapters/posix/TextCodec.h"

#include <algorithm>
#include <array>
#include <system_error>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 6> TemplateExtensions = {".otp", ".pot", ".potx",
                                                           ".odp", ".ppt", ".pptx"};

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

struct Entry {
    std::string name;
    fs::path path;
    bool folder = false;
};

// The folder's entries in byte order of their names, whatever the locale; hidden ones left out.
std::vector<Entry> Entries(const fs::path& folder, std::error_code& error) {
    std::vector<Entry> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') {
            continue; // hidden: version control, the office's lock files, desktop metadata
        }
        std::error_code ignored;
        entries.push_back({std::move(name), it->path(), it->is_directory(ignored)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace

bool SourceReader::IsTemplateName(const std::string& name) {
    std::string const extension = Lower(fs::path(name).extension().string());
    return std::find(TemplateExtensions.begin(), TemplateExtensions.end(), extension) !=
           TemplateExtensions.end();
}

std::string SourceReader::PackName(int index, int number, const fs::path& source) {
    return std::to_string(index) + "-" + std::to_string(number) +
           Lower(source.extension().string());
}

std::string SourceReader::TitleProblem(const std::string& title) {
    std::vector<std::string> faults;
    if (title.empty()) {
        faults.push_back("it is empty");
    }
    if (!TextCodec::isValidUtf8(title)) {
        // The catalogue's registry file is UTF-8 text; anything else would be read as another
        // title than the pictures are named after.
        faults.push_back("it is not UTF-8 text");
    } else {
        bool control = false;
        for (std::size_t at = 0; at < title.size();) {
            char32_t const c = TextCodec::decodeUtf8(title, at);
            control = control || c < 0x20 || (c >= 0x7F && c <= 0x9F);
        }
        if (control) {
            faults.push_back("it holds a control character");
        }
    }
    if (title.find('/') != std::string::npos) {
        faults.push_back("it holds a slash");
    }
    if (title.find('\\') != std::string::npos) {
        // The program builds the pictures' paths with backslashes between folders.
        faults.push_back("it holds a backslash");
    }
    if (title.size() > MaxTitleBytes) {
        faults.push_back("it is " + std::to_string(title.size()) + " bytes long, more than " +
                         std::to_string(MaxTitleBytes));
    }
    return Listed(faults);
}

SourceReader::Result SourceReader::Read(const fs::path& source) {
    Result result;
    std::error_code error;
    if (!fs::is_directory(source, error)) {
        result.problems.push_back(source.string() + ": " +
                                  (fs::exists(source, error) ? "not a folder" : "no such folder"));
        return result;
    }
    std::vector<Entry> const entries = Entries(source, error);
    if (error) {
        result.problems.push_back(source.string() + ": cannot be read: " + error.message());
        return result;
    }

    std::vector<Entry> folders;
    for (const Entry& entry : entries) {
        if (entry.folder) {
            folders.push_back(entry);
        } else {
            result.notes.push_back(entry.path.string() +
                                   ": passed over: not a folder (each category is a folder)");
        }
    }
    if (folders.empty()) {
        result.problems.push_back(source.string() +
                                  ": holds no category folders (one folder per category, "
                                  "with up to three templates in each)");
        return result;
    }
    if (folders.size() > PackPlan::CategorySlots) {
        std::vector<std::string> beyond;
        for (std::size_t i = PackPlan::CategorySlots; i < folders.size(); ++i) {
            beyond.push_back(folders[i].name);
        }
        result.problems.push_back(
            source.string() + ": holds " + std::to_string(folders.size()) +
            " category folders, more than ten (beyond the tenth: " + Listed(beyond) + ")");
    }

    int index = 0;
    for (const Entry& folder : folders) {
        PackCategory category;
        category.index = index++;
        category.title = folder.name;
        category.folder = folder.path;
        if (std::string const fault = TitleProblem(folder.name); !fault.empty()) {
            result.problems.push_back(folder.path.string() +
                                      ": the title cannot form the pictures' file names: " + fault);
        }
        std::error_code readError;
        std::vector<Entry> const files = Entries(folder.path, readError);
        if (readError) {
            result.problems.push_back(folder.path.string() +
                                      ": cannot be read: " + readError.message());
            continue;
        }
        std::vector<Entry> templates;
        for (const Entry& file : files) {
            // A folder or a pipe named like a template is still offered to the office, which
            // says why it is not one; only names decide what counts as a template.
            if (IsTemplateName(file.name)) {
                templates.push_back(file);
            } else {
                result.notes.push_back(file.path.string() +
                                       ": passed over: not a template (.otp, .pot, .potx, "
                                       ".odp, .ppt, .pptx)");
            }
        }
        if (templates.size() > PackPlan::TemplateSlots) {
            std::vector<std::string> names;
            for (const Entry& file : templates) {
                names.push_back(file.name);
            }
            result.problems.push_back(folder.path.string() + ": holds " +
                                      std::to_string(templates.size()) +
                                      " templates, more than three (" + Listed(names) + ")");
        }
        if (templates.empty()) {
            result.notes.push_back(folder.path.string() +
                                   ": holds no templates; its previews say \"Not installed\"");
        }
        for (std::size_t i = 0; i < templates.size() && i < PackPlan::TemplateSlots; ++i) {
            int const number = static_cast<int>(i) + 1;
            category.templates.push_back(
                {number, templates[i].path, PackName(category.index, number, templates[i].path)});
        }
        result.plan.categories.push_back(std::move(category));
    }
    return result;
}

} // namespace slidevane
