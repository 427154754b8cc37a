#include "adapters/posix/RegistryFileParser.h"

#include "adapters/posix/RegEditFileParser.h"
#include "adapters/posix/WineHiveParser.h"

namespace slidevane {

std::shared_ptr<RegistryTree>
RegistryFileParser::parse(std::string bytes, std::string_view fileName, std::string& error) {
    auto tree = std::make_shared<RegistryTree>();
    const bool ok =
        std::string_view(bytes).substr(0, WineHiveParser::kHeader.size()) == WineHiveParser::kHeader
            ? WineHiveParser::parse(bytes, fileName, *tree, error)
            : RegEditFileParser::parse(std::move(bytes), *tree, error);
    return ok ? tree : nullptr;
}

} // namespace slidevane
