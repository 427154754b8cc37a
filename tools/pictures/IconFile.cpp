#include "IconFile.h"

#include <fstream>
#include <stdexcept>

namespace slidevane {

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Bitmap rows are padded to whole 32-bit words.
std::size_t Stride(int width, int bitsPerPixel) {
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32) * 4;
}

} // namespace

void IconFile::Add(const IndexedImage& image, const std::vector<std::uint8_t>& mask, int hotX,
                   int hotY) {
    if (image.palette.size() > 16)
        throw std::invalid_argument("icon pictures carry at most 16 colours");
    if (image.width < 1 || image.width > 256 || image.height < 1 || image.height > 256)
        throw std::invalid_argument("icon pictures are 1 to 256 pixels a side");
    if (mask.size() != image.pixels.size())
        throw std::invalid_argument("mask must have one entry per pixel");
    frames_.push_back(Frame{image, mask, hotX, hotY});
}

std::vector<std::uint8_t> IconFile::Bytes() const {
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(kind_));
    Put16(out, static_cast<unsigned>(frames_.size()));

    std::vector<std::vector<std::uint8_t>> bodies;
    for (const Frame& f : frames_) {
        std::vector<std::uint8_t> body;
        const std::size_t xorStride = Stride(f.image.width, 4);
        const std::size_t andStride = Stride(f.image.width, 1);
        Put32(body, 40);
        Put32(body, static_cast<std::uint32_t>(f.image.width));
        Put32(body, static_cast<std::uint32_t>(f.image.height * 2)); // colour rows + mask rows
        Put16(body, 1);
        Put16(body, 4);
        Put32(body, 0);
        Put32(body, static_cast<std::uint32_t>((xorStride + andStride) * f.image.height));
        Put32(body, 0);
        Put32(body, 0);
        Put32(body, 16);
        Put32(body, 0);
        for (int i = 0; i < 16; ++i) {
            const Rgb c = i < static_cast<int>(f.image.palette.size()) ? f.image.palette[i] : Rgb{};
            body.insert(body.end(), {c.b, c.g, c.r, 0});
        }
        // Bottom-up rows, as device-independent bitmaps store them.
        for (int y = f.image.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(xorStride, 0);
            for (int x = 0; x < f.image.width; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * f.image.width + x;
                const std::uint8_t index = f.mask[at] ? 0 : f.image.pixels[at];
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
            }
            body.insert(body.end(), row.begin(), row.end());
        }
        for (int y = f.image.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(andStride, 0);
            for (int x = 0; x < f.image.width; ++x)
                if (f.mask[static_cast<std::size_t>(y) * f.image.width + x])
                    row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(std::move(body));
    }

    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * frames_.size());
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        const Frame& f = frames_[i];
        out.push_back(static_cast<std::uint8_t>(f.image.width == 256 ? 0 : f.image.width));
        out.push_back(static_cast<std::uint8_t>(f.image.height == 256 ? 0 : f.image.height));
        out.push_back(16);
        out.push_back(0);
        if (kind_ == Kind::Pointer) {
            Put16(out, static_cast<unsigned>(f.hotX));
            Put16(out, static_cast<unsigned>(f.hotY));
        } else {
            Put16(out, 1);
            Put16(out, 4);
        }
        Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

void IconFile::Save(const std::filesystem::path& path) const {
    const std::vector<std::uint8_t> bytes = Bytes();
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace slidevane
