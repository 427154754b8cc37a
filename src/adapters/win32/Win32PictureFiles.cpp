#include "adapters/win32/Win32PictureFiles.h"

#include "adapters/win32/WindowsApi.h"
#include "platform/RuntimeError.h"

#include <algorithm>

namespace slidevane {

namespace {

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

} // namespace

std::string Win32PictureFiles::ReadPictureFile(const std::string& path, std::size_t maxBytes) {
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
    // Only a file on disk is read: a pipe or a device (a FIFO or /dev/zero under Wine, NUL, the
    // console) would wait for a writer or never end, and a folder holds no bytes to read. The
    // standard information answers from the open file (GetFileInformationByHandle also asks for
    // the volume's, which costs more than the whole read under Wine).
    FILE_STANDARD_INFO info{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &info, sizeof info) ||
        info.Directory) {
        throw RuntimeError::InvalidPicture(path);
    }
    // The size only sizes the buffer and refuses a file that admits to being too large: the
    // file is read to its end, and refused when that lies beyond the cap.
    if (info.EndOfFile.QuadPart < 0 ||
        static_cast<unsigned long long>(info.EndOfFile.QuadPart) > maxBytes) {
        throw RuntimeError::InvalidPicture(path);
    }
    // One byte beyond the size, so that a file of the size it claims ends with one more read.
    std::string bytes(static_cast<std::size_t>(info.EndOfFile.QuadPart) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) {
                throw RuntimeError::InvalidPicture(path);
            }
            bytes.resize(std::min(maxBytes + 1, filled + ChunkBytes));
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

} // namespace slidevane
