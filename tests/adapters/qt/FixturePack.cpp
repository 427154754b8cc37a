#include "FixturePack.h"

#include "GifFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace slidevane::test {

FixturePack::FixturePack(bool officeInstalled) : officeInstalled_(officeInstalled) {
    if (!root_.isValid() || !QDir().mkpath(UiFolder()) || !QDir().mkpath(TemplateFolder())) {
        throw std::runtime_error("cannot create the fixture pack");
    }
    for (int c = 0; c < 10; ++c) {
        for (char look : {'a', 'b', 'c'}) {
            WritePicture(StripName(c, look), 88, 17);
        }
        for (int number = 4; number <= 6; ++number) {
            WritePicture(PreviewName(c, 'a', number), 72, 48);
            WritePicture(PreviewName(c, 'b', number), 72, 48);
            WritePicture(PreviewName(c, 'c', number), 158, 121);
        }
        for (int number = 1; number <= 3; ++number) {
            QFile file(TemplateFolder() + QLatin1Char('/') + TemplateName(c, number));
            if (!file.open(QIODevice::WriteOnly) || file.write("template\n") != 9) {
                throw std::runtime_error("cannot write a template");
            }
        }
    }
    WritePicture(WebName(1), 184, 18);
    WritePicture(WebName(2), 184, 18);
    WriteRegistry();
}

QString FixturePack::StripName(int category, char look) {
    return QStringLiteral("b_%1-%2.gif").arg(QLatin1String(Titles[category])).arg(QChar(look));
}

QString FixturePack::PreviewName(int category, char look, int number) {
    return QStringLiteral("p_%1-%2%3.gif")
        .arg(QLatin1String(Titles[category]))
        .arg(QChar(look))
        .arg(number);
}

QString FixturePack::TemplateName(int category, int number) {
    return QStringLiteral("design%1-%2.pot").arg(category).arg(number);
}

QString FixturePack::TemplateFileName(int category, int number) const {
    return templateNames_.value(category * 10 + number, TemplateName(category, number));
}

void FixturePack::UseTemplate(int category, int number, const QString& source) {
    QString const name =
        QStringLiteral("design%1-%2.%3").arg(category).arg(number).arg(QFileInfo(source).suffix());
    QString const target = TemplateFolder() + QLatin1Char('/') + name;
    QFile::remove(target);
    // A link: templates from elsewhere are used where they are.
    if (!QFile::link(QFileInfo(source).absoluteFilePath(), target)) {
        throw std::runtime_error("cannot link the template " + source.toStdString());
    }
    templateNames_.insert(category * 10 + number, name);
    WriteRegistry();
}

void FixturePack::Remove(const QString& name) const {
    if (!QFile::remove(UiPath(name))) {
        throw std::runtime_error("cannot remove " + name.toStdString());
    }
}

void FixturePack::WritePicture(const QString& name, int width, int height) {
    // Distinct by red alone; green and blue keep them apart from the stored pictures' palettes.
    auto const n = static_cast<int>(colours_.size()) + 1;
    QColor const colour(n, 7, 251 - n);
    colours_.insert(name, colour);
    GifFile::WriteSolid(UiPath(name), width, height, colour);
}

void FixturePack::WriteRegistry() const {
    QString const key =
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0");
    QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
    text += QStringLiteral("[%1]\r\n\"PresentPath\"=\"%2\"\r\n\r\n").arg(key, PackFolder());
    text += QStringLiteral("[%1\\INDEX]\r\n").arg(key);
    for (int c = 0; c < 10; ++c) {
        text += QStringLiteral("\"%1\"=\"%2\"\r\n").arg(c).arg(QLatin1String(Titles[c]));
    }
    for (int c = 0; c < 10; ++c) {
        text += QStringLiteral("\r\n[%1\\TEMPLATE\\%2]\r\n").arg(key).arg(c);
        int const last = c == CategoryWithoutThird ? 2 : 3;
        for (int number = 1; number <= last; ++number) {
            text +=
                QStringLiteral("\"%1\"=\"%2\"\r\n").arg(number).arg(TemplateFileName(c, number));
        }
    }
    if (officeInstalled_) {
        text += QStringLiteral(
            "\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\9.0\\"
            "PowerPoint\\InstallRoot]\r\n"
            "\"Path\"=\"C:\\\\Program Files\\\\Microsoft Office\\\\Office\\\\\"\r\n");
    }
    QFile file(RegistryFile());
    QByteArray const bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write the registry file");
    }
}

} // namespace slidevane::test
