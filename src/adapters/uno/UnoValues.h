#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <filesystem>
#include <initializer_list>
#include <rtl/ustring.hxx>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Conversions between the adapter's UTF-8 strings and the office's values. The SDK reserves its
// brace-list sequence constructor for the office's own code, so argument lists are built here.
namespace slidevane {

// The SDK declares its string types in rtl only; the office's own code sees them globally.
using rtl::OString;
using rtl::OUString;

} // namespace slidevane

namespace slidevane::uno {

inline OUString ToUno(const std::string& text) {
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

inline std::string FromUno(const OUString& text) {
    OString const bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

// The file URL of a local path, made absolute. A file name is bytes, which need not be UTF-8
// text: every byte but those a URL's path carries as they are is percent-encoded as it stands,
// and the office opens the file by those same bytes (its own conversion takes the path as text
// and loses what is not UTF-8). For a path that is UTF-8 text the URL is the office's own,
// character for character: the office names a pipe after its profile's URL.
inline OUString FileUrl(const std::string& nativePath) {
    std::string const absolute = std::filesystem::absolute(nativePath).string();
    static constexpr char Hex[] = "0123456789ABCDEF";
    static constexpr std::string_view Plain = "/-._~!$&'()*+,=:@";
    std::string url = "file://";
    for (char const c : absolute) {
        auto const byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || Plain.find(c) != std::string_view::npos) {
            url += c;
        } else {
            url += '%';
            url += Hex[byte >> 4];
            url += Hex[byte & 0xF];
        }
    }
    return OUString::createFromAscii(url.c_str());
}

inline css::uno::Sequence<css::beans::PropertyValue>
Properties(const std::vector<std::pair<const char*, css::uno::Any>>& values) {
    css::uno::Sequence<css::beans::PropertyValue> result(static_cast<sal_Int32>(values.size()));
    css::beans::PropertyValue* out = result.getArray();
    for (const auto& [name, value] : values) {
        out->Name = OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return result;
}

// `values`, then those of `more` that `values` does not name and that are not `dropped`.
inline css::uno::Sequence<css::beans::PropertyValue>
Merged(const std::vector<std::pair<const char*, css::uno::Any>>& values,
       const css::uno::Sequence<css::beans::PropertyValue>& more,
       std::initializer_list<const char*> dropped = {}) {
    css::uno::Sequence<css::beans::PropertyValue> const first = Properties(values);
    std::vector<css::beans::PropertyValue> result(first.begin(), first.end());
    for (const css::beans::PropertyValue& value : more) {
        bool skip = false;
        for (const auto& [name, unused] : values) {
            skip = skip || value.Name.equalsAscii(name);
        }
        for (const char* name : dropped) {
            skip = skip || value.Name.equalsAscii(name);
        }
        if (!skip) {
            result.push_back(value);
        }
    }
    return css::uno::Sequence<css::beans::PropertyValue>(result.data(),
                                                         static_cast<sal_Int32>(result.size()));
}

inline css::uno::Sequence<css::uno::Any> Arguments(const std::vector<css::uno::Any>& values) {
    return css::uno::Sequence<css::uno::Any>(values.data(), static_cast<sal_Int32>(values.size()));
}

// The value of one named property in a property list, or an empty Any.
inline css::uno::Any Find(const css::uno::Sequence<css::beans::PropertyValue>& values,
                          const char* name) {
    for (const css::beans::PropertyValue& value : values) {
        if (value.Name.equalsAscii(name)) {
            return value.Value;
        }
    }
    return {};
}

} // namespace slidevane::uno
