#include "adapters/posix/RegistryFileParser.h"

#include "adapters/posix/RegEditFileParser.h"
#include "adapters/posix/WineHiveParser.h"

#include <stdexcept>

namespace slidevane {

std::shared_ptr<RegistryTree>
RegistryFileParser::parse(ByteSource& source, std::string_view fileName, std::string& error) {
    auto tree = std::make_shared<RegistryTree>();
    bool ok = false;
    try {
        ok = source.peek(WineHiveParser::kHeader.size()) == WineHiveParser::kHeader
                 ? WineHiveParser::parse(source, fileName, *tree, error)
                 : RegEditFileParser::parse(source, *tree, error);
    } catch (const std::length_error& e) {
        error = e.what();
        return nullptr;
    }
    if (source.failed()) {
        error = source.error();
        return nullptr;
    }
    return ok ? tree : nullptr;
}

std::shared_ptr<RegistryTree>
RegistryFileParser::parse(std::string_view bytes, std::string_view fileName, std::string& error) {
    ByteSource source(bytes);
    return parse(source, fileName, error);
}

} // namespace slidevane
