#include "catalogue/Catalogue.h"

#include "platform/RuntimeError.h"

namespace slidevane {

Catalogue::Catalogue(Module1& module1) : module1_(module1) {}

std::string Catalogue::WithoutTerminator(const std::string& text) {
    if (text.empty()) {
        throw RuntimeError::InvalidArgument();
    }
    if (text.back() == '\0') {
        return text.substr(0, text.size() - 1);
    }
    return text;
}

std::string Catalogue::InstallFolder() {
    RegistryValue const value =
        module1_.GetRegistryString(CatalogueKey, "PresentPath", win::HKEY_LOCAL_MACHINE);
    return WithoutTerminator(value.AsText());
}

std::string Catalogue::GetDefaultPath() {
    return InstallFolder() + "\\" + "UI\\";
}

std::string Catalogue::GetDefaultTemplatePath() {
    return InstallFolder() + "\\" + "TEMPLATE\\";
}

std::string Catalogue::GetIndexTitle(std::int16_t indexInt) {
    RegistryValue const value = module1_.GetRegistryString(
        std::string(CatalogueKey) + "INDEX", std::to_string(indexInt), win::HKEY_LOCAL_MACHINE);
    return WithoutTerminator(value.AsText());
}

bool Catalogue::LookupTemplateFile(std::string& fileName, std::int16_t category,
                                   std::int16_t number) {
    try {
        std::string const key = std::string(CatalogueKey) + "TEMPLATE\\" + std::to_string(category);
        fileName = module1_.GetRegistryString(key, std::to_string(number), win::HKEY_LOCAL_MACHINE)
                       .AsText();
        return true;
    } catch (const RuntimeError&) {
        fileName.clear();
        return false;
    }
}

} // namespace slidevane
