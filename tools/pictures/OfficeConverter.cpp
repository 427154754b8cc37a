#include "OfficeConverter.h"

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace slidevane {

OfficeConverter::OfficeConverter() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    profile_ = std::filesystem::temp_directory_path() /
               ("slidevane3-office-" + std::to_string(::getpid()) + "-" + std::to_string(stamp));
    std::filesystem::create_directories(profile_ / "user");
    std::ofstream settings(profile_ / "user" / "registrymodifications.xcu");
    settings << R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="GenerateThumbnail" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";
}

OfficeConverter::~OfficeConverter() {
    std::error_code ignored;
    std::filesystem::remove_all(profile_, ignored);
}

std::vector<std::filesystem::path>
OfficeConverter::Convert(const std::vector<std::filesystem::path>& inputs,
                         const std::string& target, const std::filesystem::path& outputFolder) {
    std::vector<std::filesystem::path> outputs;
    if (inputs.empty())
        return outputs;
    std::filesystem::create_directories(outputFolder);
    const std::string extension = target.substr(0, target.find(':'));
    QStringList arguments{
        QString::fromStdString("-env:UserInstallation=file://" + profile_.string()),
        "--headless",
        "--norestore",
        "--nologo",
        "--convert-to",
        QString::fromStdString(target),
        "--outdir",
        QString::fromStdString(outputFolder.string())};
    for (const auto& input : inputs) {
        arguments << QString::fromStdString(std::filesystem::absolute(input).string());
        std::filesystem::path out = outputFolder / input.filename();
        out.replace_extension(extension);
        std::filesystem::remove(out);
        outputs.push_back(out);
    }
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start("soffice", arguments);
    if (!office.waitForStarted(30000))
        throw std::runtime_error("cannot start soffice; is LibreOffice installed?");
    // Each file takes about a second; a hung suite should not hang the generator.
    const int budget = 60000 + 10000 * static_cast<int>(inputs.size());
    if (!office.waitForFinished(budget)) {
        office.kill();
        office.waitForFinished(5000);
        throw std::runtime_error("soffice did not finish converting to " + target);
    }
    const std::string log = office.readAll().toStdString();
    for (const auto& out : outputs)
        if (!std::filesystem::exists(out) || std::filesystem::file_size(out) == 0)
            throw std::runtime_error("soffice did not write " + out.string() + ":\n" + log);
    return outputs;
}

} // namespace slidevane
