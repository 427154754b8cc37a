#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

namespace slidevane {

class ByteSource;

// The memory one registry file may take while it loads: four bytes for every byte of the file,
// plus a fixed allowance that a small file's fixed costs fit in. What holds memory while a file
// loads (the text window, the tree being filled, a value's scratch copy) says how much it will
// hold before it allocates, and a load that would pass the budget ends there with Exceeded: the
// file is skipped rather than let a few megabytes of text take gigabytes. Real files take
// about their own size; a file of keys two bytes apiece would take twelve times its size.
//
// The buffers of a single line are not counted: Windows' limits bound them (a key path of 512
// names of 255 characters, a value name of 16,383), to about 300 KiB.
//
// Owns: what each holder holds. Does not own: the memory, or the file whose size it is
// measured against.
class LoadBudget {
public:
    static constexpr std::size_t kBytesPerFileByte = 4;
    static constexpr std::size_t kFixedBytes = 256 << 10;

    enum class Holder { Window, Tree, Scratch };

    class Exceeded : public std::length_error {
    public:
        Exceeded();
    };

    // The file's size is what it said it holds, or what has been read of it when that is more.
    explicit LoadBudget(const ByteSource& file);
    LoadBudget(const LoadBudget&) = delete;
    LoadBudget& operator=(const LoadBudget&) = delete;

    // From now on holder holds `bytes`. Throws Exceeded, and nothing changes, when that is more
    // than it held and would pass the budget.
    void hold(Holder holder, std::size_t bytes);

    std::size_t limit() const;
    std::size_t held() const;

private:
    const ByteSource& file_;
    std::array<std::size_t, 3> held_{};
};

} // namespace slidevane
