#include "OfficeProfile.h"

#include "UnoValues.h"

#include <rtl/bootstrap.hxx>
#include <rtl/digest.h>
#include <string_view>

namespace slidevane {

namespace {

constexpr std::string_view ProfileArgument = "-env:UserInstallation=";

} // namespace

std::string OfficeProfile::UserInstallation(const std::vector<std::string>& launcher) {
    // The office takes the last of its arguments that sets a bootstrap variable.
    std::string fromArguments;
    for (const std::string& argument : launcher) {
        if (argument.starts_with(ProfileArgument)) {
            fromArguments = argument.substr(ProfileArgument.size());
        }
    }
    if (!fromArguments.empty()) {
        return fromArguments;
    }
    // The office's own bootstrap reading: its environment before its bootstrap file, with the
    // same expansion of the file's variables, because it is the office's own library doing it.
    rtl::Bootstrap const bootstrap(uno::FileUrl(SLIDEVANE3_OFFICE_BOOTSTRAPRC));
    OUString url;
    if (!bootstrap.getFrom("UserInstallation", url)) {
        // The office's own default when its bootstrap file says nothing.
        url = "$SYSUSERCONFIG/libreoffice/4";
        rtl::Bootstrap::expandMacros(url);
    }
    return uno::FromUno(url);
}

std::string OfficeProfile::PipeName(const std::vector<std::string>& launcher) {
    std::string const profile = UserInstallation(launcher);
    sal_uInt8 digest[RTL_DIGEST_LENGTH_MD5];
    rtl_digest_MD5(profile.data(), static_cast<sal_uInt32>(profile.size()), digest, sizeof digest);
    static constexpr char Hex[] = "0123456789abcdef";
    std::string name = "slidevane3_";
    for (sal_uInt8 const byte : digest) {
        name += Hex[byte >> 4];
        name += Hex[byte & 0xF];
    }
    return name;
}

} // namespace slidevane
