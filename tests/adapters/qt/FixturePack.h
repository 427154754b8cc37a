#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <QTemporaryDir>
#include <array>

// A real installed pack in a temporary folder: UI pictures for ten categories (every file a
// solid colour of its own, so a control's pixels tell which file it shows), template files and
// the registry file that records them, removed again when the fixture ends.
namespace slidevane::test {

class FixturePack {
public:
    static constexpr std::array<const char*, 10> Titles = {
        "Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
        "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};
    // The one category with a template missing from the catalogue: its third.
    static constexpr int CategoryWithoutThird = 4;

    // `officeInstalled`: whether the registry file also holds the presentation application's
    // install record.
    explicit FixturePack(bool officeInstalled = true);

    QString PackFolder() const { return root_.filePath(QStringLiteral("pack")); }
    QString UiFolder() const { return PackFolder() + QStringLiteral("/UI"); }
    QString TemplateFolder() const { return PackFolder() + QStringLiteral("/TEMPLATE"); }
    QString RegistryFile() const { return root_.filePath(QStringLiteral("slidevane3.reg")); }

    static QString StripName(int category, char look);
    static QString PreviewName(int category, char look, int number);
    static QString WebName(int look) { return QStringLiteral("www-%1.gif").arg(look); }
    static QString TemplateName(int category, int number);

    QString UiPath(const QString& name) const { return UiFolder() + QLatin1Char('/') + name; }
    QColor ColourOf(const QString& name) const { return colours_.value(name); }
    void Remove(const QString& name) const;
    // Makes `source` (through a link) the pack's template `number` of `category`, under a name
    // with the source's extension, and records that name in the registry file.
    void UseTemplate(int category, int number, const QString& source);
    // The template's file name as the registry file records it.
    QString TemplateFileName(int category, int number) const;

private:
    void WritePicture(const QString& name, int width, int height);
    void WriteRegistry() const;

    QTemporaryDir root_;
    QHash<QString, QColor> colours_;
    QHash<int, QString> templateNames_; // category * 10 + number → file name
    bool officeInstalled_;
};

} // namespace slidevane::test
