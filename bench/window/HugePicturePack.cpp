#include "HugePicturePack.h"

#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"
#include "catalogue/Catalogue.h"
#include "platform/RuntimeError.h"

#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <vector>

namespace slidevane::bench {

namespace {

namespace fs = std::filesystem;
constexpr int Side = 4096;

bool Enlarge(const fs::path& from, const fs::path& to) {
    int error = 0;
    GifFileType* in = DGifOpenFileName(from.c_str(), &error);
    if (in == nullptr) {
        return false;
    }
    bool ok = DGifSlurp(in) == GIF_OK && in->ImageCount > 0;
    if (!ok) {
        DGifCloseFile(in, &error);
        return false;
    }
    SavedImage const& image = in->SavedImages[0];
    ColorMapObject const* map =
        image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : in->SColorMap;
    int const width = image.ImageDesc.Width;
    int const height = image.ImageDesc.Height;
    GifByteType const fill = image.RasterBits[width * height - 1];
    std::vector<GifByteType> row(Side, fill);

    GifFileType* out = EGifOpenFileName(to.c_str(), false, &error);
    ok = out != nullptr && map != nullptr;
    ok = ok &&
         EGifPutScreenDesc(out, Side, Side, map->BitsPerPixel, in->SBackGroundColor, map) == GIF_OK;
    ok = ok && EGifPutImageDesc(out, 0, 0, Side, Side, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < Side; ++y) {
        std::fill(row.begin(), row.end(), fill);
        if (y < height) {
            std::copy_n(image.RasterBits + y * width, std::min(width, Side), row.begin());
        }
        ok = EGifPutLine(out, row.data(), Side) == GIF_OK;
    }
    if (out != nullptr) {
        ok = EGifCloseFile(out, &error) == GIF_OK && ok;
    }
    DGifCloseFile(in, &error);
    return ok;
}

} // namespace

std::string WriteHugePicturePack(const std::string& folder, const std::string& packRegistry) {
    RegistryFileStore store({packRegistry});
    Module1 module1(store);
    Catalogue catalogue(module1);
    std::string installFolder;
    std::string uiFolder;
    try {
        installFolder = catalogue.InstallFolder();
        uiFolder = catalogue.GetDefaultPath();
    } catch (const RuntimeError&) {
        return {};
    }
    NativePath::Resolution const ui = NativePath::fromEnvironment().resolve(uiFolder);
    if (ui.status != NativePath::Status::Found) {
        return {};
    }
    fs::path const root = fs::path(folder) / "huge-pack";
    fs::create_directories(root / "UI");
    for (fs::directory_entry const& entry : fs::directory_iterator(ui.path)) {
        if (entry.path().extension() == ".gif" &&
            !Enlarge(entry.path(), root / "UI" / entry.path().filename())) {
            return {};
        }
    }

    // The same catalogue, its install folder replaced.
    std::ifstream in(packRegistry, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string const value = "\"PresentPath\"=\"";
    std::size_t const at = text.find(value);
    if (at == std::string::npos) {
        return {};
    }
    std::size_t const end = text.find_first_of("\r\n", at);
    text.replace(at, end - at, value + root.string() + "\"");
    std::string const registry = (fs::path(folder) / "huge-pack.reg").string();
    std::ofstream(registry, std::ios::binary) << text;
    return registry;
}

} // namespace slidevane::bench
