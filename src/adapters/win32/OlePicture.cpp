#include "adapters/win32/OlePicture.h"

#include "picture/GifStructure.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace slidevane {

namespace {

// Far beyond any picture of a pack; reading stops there whatever the file system says.
constexpr std::size_t MaxFileBytes = 64 * 1024 * 1024;
constexpr std::size_t ChunkBytes = 64 * 1024;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Only a file on disk is read: a pipe or a device (a FIFO or /dev/zero under Wine, NUL, the
// console) would wait for a writer or never end, and a folder holds no bytes to read.
bool IsDiskFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<char> ReadWholeFile(const std::string& path) {
    // c_str(): a stored NUL ends the path, as it ends it for the file system. Backup semantics
    // let a folder open, so that it is refused below like any other non-file; the pipe server a
    // path may name learns nothing of the user (anonymous).
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS |
                                    SECURITY_SQOS_PRESENT | SECURITY_ANONYMOUS,
                                nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
            throw RuntimeError::FileNotFound(path);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            throw RuntimeError::PathNotFound(path);
        default:
            throw RuntimeError::InvalidPicture(path);
        }
    }
    if (!IsDiskFile(file.Get())) {
        throw RuntimeError::InvalidPicture(path);
    }
    // The size the file system reports only sizes the buffer and refuses a file that admits to
    // being too large: the file is read to its end, and refused when that lies beyond the cap.
    LARGE_INTEGER size{};
    std::size_t hint = 0;
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0) {
        if (size.QuadPart > static_cast<LONGLONG>(MaxFileBytes)) {
            throw RuntimeError::InvalidPicture(path);
        }
        hint = static_cast<std::size_t>(size.QuadPart);
    }
    // One byte beyond the hint, so that a file of the size it claims ends with one more read.
    std::vector<char> bytes(hint + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > MaxFileBytes) {
                throw RuntimeError::InvalidPicture(path);
            }
            bytes.resize(std::min(MaxFileBytes + 1, filled + ChunkBytes));
        }
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled),
                      &read, nullptr)) {
            throw RuntimeError::InvalidPicture(path);
        }
        if (read == 0) {
            bytes.resize(filled);
            return bytes;
        }
        filled += read;
    }
}

} // namespace

OlePicture OlePicture::FromFile(const std::string& path) {
    std::vector<char> const bytes = ReadWholeFile(path);
    // The picture loader also takes bitmaps, JPEG, icons and metafiles: only whole GIF files of a
    // sane size are pictures here, refused before anything is decoded.
    if (!GifStructure::IsWholeGif(std::string_view(bytes.data(), bytes.size()),
                                  GifStructure::MaxSide)) {
        throw RuntimeError::InvalidPicture(path);
    }
    OlePicture picture = Decode(bytes.data(), bytes.size());
    if (picture.Empty()) {
        throw RuntimeError::InvalidPicture(path);
    }
    return picture;
}

OlePicture OlePicture::FromResource(const char* name) {
    HMODULE const module = GetModuleHandleA(nullptr);
    HRSRC const resource = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL const loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    void const* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return Decode(bytes, SizeofResource(module, resource));
}

OlePicture OlePicture::Decode(const void* bytes, std::size_t size) {
    if (size == 0) {
        return {};
    }
    // The picture loader reads from a stream; the stream owns (and frees) this memory block.
    HGLOBAL const block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) {
        return {};
    }
    void* const target = GlobalLock(block);
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) {
        GlobalFree(block);
        return {};
    }
    OlePicture result;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              result.picture_.ReceiveVoid())) ||
        !result.picture_) {
        return {};
    }
    // The size in pixels comes from the decoded bitmap itself: converting the picture's HIMETRIC
    // extent back to pixels can be a pixel off and would then stretch the picture.
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (SUCCEEDED(result.picture_->get_Handle(&handle)) &&
        GetObjectA(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof bitmap,
                   &bitmap) == sizeof bitmap) {
        result.width_ = bitmap.bmWidth;
        result.height_ = bitmap.bmHeight;
    } else {
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        result.picture_->get_Width(&width);
        result.picture_->get_Height(&height);
        HDC const screen = GetDC(nullptr);
        result.width_ = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
        result.height_ = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
        ReleaseDC(nullptr, screen);
    }
    if (result.width_ <= 0 || result.height_ <= 0) {
        return {};
    }
    return result;
}

void OlePicture::Draw(HDC dc, int x, int y) const {
    if (!picture_) {
        return;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // The source rectangle runs bottom-up in HIMETRIC, hence the negative height.
    picture_->Render(dc, x, y, width_, height_, 0, height, width, -height, nullptr);
}

} // namespace slidevane
