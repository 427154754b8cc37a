#include "adapters/posix/RegistryFileParser.h"

#include "adapters/posix/LoadBudget.h"
#include "adapters/posix/RegEditFileParser.h"
#include "adapters/posix/WineHiveParser.h"

#include <stdexcept>

namespace slidevane {

std::shared_ptr<RegistryTree>
RegistryFileParser::parse(ByteSource& source, std::string_view fileName, std::string& error) {
    auto tree = std::make_shared<RegistryTree>();
    LoadBudget budget(source);
    tree->setBudget(&budget);
    bool ok = false;
    try {
        ok = source.peek(WineHiveParser::kHeader.size()) == WineHiveParser::kHeader
                 ? WineHiveParser::parse(source, fileName, *tree, error)
                 : RegEditFileParser::parse(source, *tree, error);
    } catch (const std::length_error& e) {
        // Too many keys and values to address, or more memory than the file's budget: the tree
        // is left half made and is dropped.
        error = e.what();
        return nullptr;
    }
    tree->setBudget(nullptr);
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
