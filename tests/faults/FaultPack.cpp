#include "FaultPack.h"

#include "GifFile.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <stdexcept>

namespace slidevane::test {

namespace {

// The longest file name a Linux file system holds, in bytes.
constexpr std::size_t NameMax = 255;

constexpr const char* CatalogueKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";

QString Native(const std::string& text) {
    return QString::fromUtf8(text.data(), text.size());
}

} // namespace

std::vector<std::string> FaultPack::DefaultTitles() {
    return {"Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
            "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};
}

FaultPack::FaultPack(std::vector<std::string> titles) : titles_(std::move(titles)) {
    if (!root_.isValid() || !QDir().mkpath(UiFolder()) || !QDir().mkpath(TemplateFolder())) {
        throw std::runtime_error("cannot create the pack");
    }
    SetValue("", "PresentPath", Quoted(PackFolder().toStdString()));
    for (int c = 0; c < static_cast<int>(titles_.size()); ++c) {
        SetValue("INDEX", std::to_string(c), Quoted(titles_[c]));
        for (char look : {'a', 'b', 'c'}) {
            WritePicture(StripName(c, look), 88, 17);
        }
        for (int number = 4; number <= 6; ++number) {
            WritePicture(PreviewName(c, 'a', number), 72, 48);
            WritePicture(PreviewName(c, 'b', number), 72, 48);
            WritePicture(PreviewName(c, 'c', number), 158, 121);
        }
        for (int number = 1; number <= 3; ++number) {
            SetValue("TEMPLATE\\" + std::to_string(c), std::to_string(number),
                     Quoted(TemplateName(c, number)));
            QFile file(TemplateFolder() + QLatin1Char('/') + Native(TemplateName(c, number)));
            if (!file.open(QIODevice::WriteOnly) || file.write("template\n") != 9) {
                throw std::runtime_error("cannot write a template");
            }
        }
    }
    WritePicture(WebName(1), 184, 18);
    WritePicture(WebName(2), 184, 18);
    WriteRegistry();
}

std::string FaultPack::StripName(const std::string& title, char look) {
    return "b_" + title + "-" + look + ".gif";
}

std::string FaultPack::PreviewName(const std::string& title, char look, int number) {
    return "p_" + title + "-" + look + std::to_string(number) + ".gif";
}

std::string FaultPack::StripName(int category, char look) const {
    return StripName(Title(category), look);
}

std::string FaultPack::PreviewName(int category, char look, int number) const {
    return PreviewName(Title(category), look, number);
}

std::string FaultPack::TemplateName(int category, int number) {
    return "design" + std::to_string(category) + "-" + std::to_string(number) + ".pot";
}

std::string FaultPack::CataloguePath(const std::string& name) const {
    return PackFolder().toStdString() + "\\UI\\" + name;
}

QString FaultPack::UiPath(const std::string& name) const {
    return UiFolder() + QLatin1Char('/') + Native(name);
}

void FaultPack::WritePicture(const std::string& name, int width, int height) {
    // A title with a separator names no file in UI itself; one too long names no file at all.
    if (name.size() > NameMax || name.find('/') != std::string::npos) {
        return;
    }
    ++written_;
    GifFile::WriteSolid(UiPath(name), width, height,
                        QColor(written_ % 256, 7, 251 - written_ % 200));
}

void FaultPack::Remove(const std::string& name) const {
    if (!QFile::remove(UiPath(name))) {
        throw std::runtime_error("cannot remove " + name);
    }
}

void FaultPack::Overwrite(const std::string& name, const QByteArray& bytes) const {
    QFile file(UiPath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + name);
    }
}

QByteArray FaultPack::Read(const std::string& name) const {
    QFile file(UiPath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + name);
    }
    return file.readAll();
}

void FaultPack::SetValue(const std::string& key, const std::string& name, const std::string& data) {
    Values& values = catalogue_[key];
    auto same = std::find_if(values.begin(), values.end(),
                             [&](const auto& value) { return value.first == name; });
    if (same != values.end()) {
        same->second = data;
    } else {
        values.emplace_back(name, data);
    }
}

void FaultPack::RemoveValue(const std::string& key, const std::string& name) {
    Values& values = catalogue_[key];
    std::erase_if(values, [&](const auto& value) { return value.first == name; });
}

std::string FaultPack::Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

QByteArray FaultPack::RegistryText() const {
    std::string text = "Windows Registry Editor Version 5.00\r\n";
    for (auto const& [key, values] : catalogue_) {
        text += "\r\n[" + std::string(CatalogueKey) + (key.empty() ? "" : "\\" + key) + "]\r\n";
        for (auto const& [name, data] : values) {
            text += Quoted(name) + "=" + data + "\r\n";
        }
    }
    // The presentation application's install record, so that start-up goes on to the window.
    text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot]"
            "\r\n\"Path\"=\"C:\\\\Office\\\\\"\r\n";
    return QByteArray::fromStdString(text);
}

void FaultPack::WriteRegistry() const {
    QFile file(RegistryFile());
    QByteArray const bytes = RegistryText();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write the registry file");
    }
}

} // namespace slidevane::test
