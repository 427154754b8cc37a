#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <utility>
#include <vector>

// An installed pack in a temporary folder that a fault case can damage: every UI picture of ten
// categories as a solid-colour GIF, the three template files of each category, and the registry
// file that records them, whose values a case may replace with raw registry-file data before it
// is written (and rewrite while the program runs). Titles are UTF-8 and go into file names
// unchanged, so a title that no file name can hold simply leaves its pictures unwritten.
//
// Owns: the folder tree, the record's text and the picture files. It does not run the program
// (FaultBrowser) and does not decide what a damaged pack should do.
namespace slidevane::test {

class FaultPack {
public:
    static std::vector<std::string> DefaultTitles();

    explicit FaultPack(std::vector<std::string> titles = DefaultTitles());

    QString Root() const { return root_.path(); }
    QString PackFolder() const { return root_.filePath(QStringLiteral("pack")); }
    QString UiFolder() const { return PackFolder() + QStringLiteral("/UI"); }
    QString TemplateFolder() const { return PackFolder() + QStringLiteral("/TEMPLATE"); }
    QString RegistryFile() const { return root_.filePath(QStringLiteral("slidevane3.reg")); }
    const std::string& Title(int category) const { return titles_.at(category); }

    // Picture names as the catalogue builds them from a title.
    static std::string StripName(const std::string& title, char look);
    static std::string PreviewName(const std::string& title, char look, int number);
    static std::string WebName(int look) { return "www-" + std::to_string(look) + ".gif"; }
    std::string StripName(int category, char look) const;
    std::string PreviewName(int category, char look, int number) const;
    static std::string TemplateName(int category, int number);

    // The path of a UI picture exactly as the program names it in a report (the install folder
    // as recorded, then backslashes), and where the file is on disk.
    std::string CataloguePath(const std::string& name) const;
    QString UiPath(const std::string& name) const;

    void WritePicture(const std::string& name, int width, int height);
    void Remove(const std::string& name) const;
    void Overwrite(const std::string& name, const QByteArray& bytes) const;
    QByteArray Read(const std::string& name) const;

    // The record. `key` is below the catalogue key: "" for the key itself, "INDEX",
    // "TEMPLATE\\2". `data` is the right-hand side of a registry-file line, as written.
    void SetValue(const std::string& key, const std::string& name, const std::string& data);
    void RemoveValue(const std::string& key, const std::string& name);
    void RemoveCatalogue() { catalogue_.clear(); }
    // A registry-file string: quoted, with backslashes and quotes escaped.
    static std::string Quoted(const std::string& text);
    // The record's text as the registry file holds it.
    QByteArray RegistryText() const;
    // Writes the registry file in place.
    void WriteRegistry() const;

private:
    using Values = std::vector<std::pair<std::string, std::string>>;

    QTemporaryDir root_;
    std::vector<std::string> titles_;
    std::map<std::string, Values> catalogue_;
    int written_ = 0;
};

} // namespace slidevane::test
