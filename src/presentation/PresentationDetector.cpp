#include "presentation/PresentationDetector.h"

#include "platform/RuntimeError.h"

namespace slidevane {

PresentationDetector::PresentationDetector(BrowserState& state, Module1& module1,
                                           DialogPort& dialog, WindowPort& window)
    : state_(state), module1_(module1), dialog_(dialog), window_(window) {}

bool PresentationDetector::IsPowerPointInstalled(const std::string& version) {
    return HasInstallRecord(module1_, version);
}

bool PresentationDetector::HasInstallRecord(Module1& module1, const std::string& version) {
    try {
        std::string const key =
            "Software\\Microsoft\\Office\\" + version + "\\PowerPoint\\InstallRoot";
        module1.GetRegistryString(key, "Path", win::HKEY_LOCAL_MACHINE);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool PresentationDetector::Detect() {
    if (IsPowerPointInstalled("9.0")) {
        state_.HasPptVer = "9";
        return true;
    }
    if (IsPowerPointInstalled("8.0")) {
        state_.HasPptVer = "8";
        return true;
    }
    dialog_.MessageBox("You have no PowerPoint97 or PowerPoint2000!", "Slidevane3");
    state_.HasPptVer = "0";
    window_.Unload();
    return false;
}

} // namespace slidevane
