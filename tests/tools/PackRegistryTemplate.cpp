#include "PackRegistryTemplate.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace slidevane {

namespace {

// Reads a quoted string starting at `at` (on the opening quote); leaves `at` after the close.
std::string Quoted(const std::string& line, std::size_t& at) {
    if (at >= line.size() || line[at] != '"')
        throw std::runtime_error("expected a quoted string in: " + line);
    std::string out;
    for (++at; at < line.size(); ++at) {
        if (line[at] == '\\' && at + 1 < line.size()) {
            out += line[++at];
        } else if (line[at] == '"') {
            ++at;
            return out;
        } else {
            out += line[at];
        }
    }
    throw std::runtime_error("unterminated string in: " + line);
}

} // namespace

PackRegistryTemplate::PackRegistryTemplate(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    std::string line;
    std::string key;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            bom_ = line.rfind("\xEF\xBB\xBF", 0) == 0;
            header_ = line;
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                throw std::runtime_error("bad key line: " + line);
            key = line.substr(1, line.size() - 2);
            keys_[key];
            continue;
        }
        if (key.empty())
            throw std::runtime_error("value before any key: " + line);
        std::size_t at = 0;
        const std::string name = Quoted(line, at);
        if (at >= line.size() || line[at] != '=')
            throw std::runtime_error("expected = in: " + line);
        ++at;
        const std::string value = Quoted(line, at);
        if (at != line.size())
            throw std::runtime_error("trailing text in: " + line);
        keys_[key][name] = value;
    }
}

std::optional<std::string> PackRegistryTemplate::Value(const std::string& key,
                                                       const std::string& name) const {
    const auto k = keys_.find(key);
    if (k == keys_.end())
        return std::nullopt;
    const auto v = k->second.find(name);
    if (v == k->second.end())
        return std::nullopt;
    return v->second;
}

std::map<std::string, std::string> PackRegistryTemplate::Values(const std::string& key) const {
    const auto k = keys_.find(key);
    return k == keys_.end() ? std::map<std::string, std::string>{} : k->second;
}

} // namespace slidevane
