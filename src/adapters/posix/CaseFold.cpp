#include "adapters/posix/CaseFold.h"

#include <array>
#include <memory>

namespace slidevane {

namespace {

using Table = std::array<char16_t, 0x10000>;

// Ranges where upper and lower case alternate: the upper-case letter sits at an even (or odd)
// position and its lower-case partner right after it.
void alternating(Table& t, char32_t first, char32_t last) {
    for (char32_t c = first; c < last; c += 2) {
        t[c] = static_cast<char16_t>(c + 1);
    }
}

void shifted(Table& t, char32_t first, char32_t last, int delta) {
    for (char32_t c = first; c <= last; ++c) {
        t[c] = static_cast<char16_t>(static_cast<int>(c) + delta);
    }
}

void single(Table& t, char32_t from, char32_t to) {
    t[from] = static_cast<char16_t>(to);
}

std::unique_ptr<Table> buildTable() {
    auto t = std::make_unique<Table>();
    for (std::size_t c = 0; c < t->size(); ++c) {
        (*t)[c] = static_cast<char16_t>(c);
    }
    Table& m = *t;
    shifted(m, 0x41, 0x5A, 0x20);
    single(m, 0xB5, 0x3BC);
    shifted(m, 0xC0, 0xD6, 0x20);
    shifted(m, 0xD8, 0xDE, 0x20);
    // Latin Extended-A
    alternating(m, 0x100, 0x12F);
    alternating(m, 0x132, 0x137);
    alternating(m, 0x139, 0x148);
    alternating(m, 0x14A, 0x177);
    single(m, 0x178, 0xFF);
    alternating(m, 0x179, 0x17E);
    single(m, 0x17F, 0x73);
    // Latin Extended-B
    single(m, 0x181, 0x253);
    alternating(m, 0x182, 0x185);
    single(m, 0x186, 0x254);
    single(m, 0x187, 0x188);
    single(m, 0x189, 0x256);
    single(m, 0x18A, 0x257);
    single(m, 0x18B, 0x18C);
    single(m, 0x18E, 0x1DD);
    single(m, 0x18F, 0x259);
    single(m, 0x190, 0x25B);
    single(m, 0x191, 0x192);
    single(m, 0x193, 0x260);
    single(m, 0x194, 0x263);
    single(m, 0x196, 0x269);
    single(m, 0x197, 0x268);
    single(m, 0x198, 0x199);
    single(m, 0x19C, 0x26F);
    single(m, 0x19D, 0x272);
    single(m, 0x19F, 0x275);
    alternating(m, 0x1A0, 0x1A5);
    single(m, 0x1A6, 0x280);
    single(m, 0x1A7, 0x1A8);
    single(m, 0x1A9, 0x283);
    single(m, 0x1AC, 0x1AD);
    single(m, 0x1AE, 0x288);
    single(m, 0x1AF, 0x1B0);
    single(m, 0x1B1, 0x28A);
    single(m, 0x1B2, 0x28B);
    single(m, 0x1B3, 0x1B4);
    single(m, 0x1B5, 0x1B6);
    single(m, 0x1B7, 0x292);
    single(m, 0x1B8, 0x1B9);
    single(m, 0x1BC, 0x1BD);
    single(m, 0x1C4, 0x1C6);
    single(m, 0x1C5, 0x1C6);
    single(m, 0x1C7, 0x1C9);
    single(m, 0x1C8, 0x1C9);
    single(m, 0x1CA, 0x1CC);
    single(m, 0x1CB, 0x1CC);
    alternating(m, 0x1CD, 0x1DC);
    alternating(m, 0x1DE, 0x1EF);
    single(m, 0x1F1, 0x1F3);
    single(m, 0x1F2, 0x1F3);
    single(m, 0x1F4, 0x1F5);
    single(m, 0x1F6, 0x195);
    single(m, 0x1F7, 0x1BF);
    alternating(m, 0x1F8, 0x21F);
    single(m, 0x220, 0x19E);
    alternating(m, 0x222, 0x233);
    single(m, 0x23A, 0x2C65);
    single(m, 0x23B, 0x23C);
    single(m, 0x23D, 0x19A);
    single(m, 0x23E, 0x2C66);
    single(m, 0x241, 0x242);
    single(m, 0x243, 0x180);
    single(m, 0x244, 0x289);
    single(m, 0x245, 0x28C);
    alternating(m, 0x246, 0x24F);
    // Greek
    alternating(m, 0x370, 0x373);
    single(m, 0x376, 0x377);
    single(m, 0x37F, 0x3F3);
    single(m, 0x386, 0x3AC);
    shifted(m, 0x388, 0x38A, 0x25);
    single(m, 0x38C, 0x3CC);
    shifted(m, 0x38E, 0x38F, 0x3F);
    shifted(m, 0x391, 0x3A1, 0x20);
    shifted(m, 0x3A3, 0x3AB, 0x20);
    single(m, 0x3C2, 0x3C3);
    single(m, 0x3CF, 0x3D7);
    single(m, 0x3D0, 0x3B2);
    single(m, 0x3D1, 0x3B8);
    single(m, 0x3D5, 0x3C6);
    single(m, 0x3D6, 0x3C0);
    alternating(m, 0x3D8, 0x3EF);
    single(m, 0x3F0, 0x3BA);
    single(m, 0x3F1, 0x3C1);
    single(m, 0x3F4, 0x3B8);
    single(m, 0x3F5, 0x3B5);
    single(m, 0x3F7, 0x3F8);
    single(m, 0x3F9, 0x3F2);
    single(m, 0x3FA, 0x3FB);
    shifted(m, 0x3FD, 0x3FF, -0x82);
    // Cyrillic
    shifted(m, 0x400, 0x40F, 0x50);
    shifted(m, 0x410, 0x42F, 0x20);
    alternating(m, 0x460, 0x481);
    alternating(m, 0x48A, 0x4BF);
    single(m, 0x4C0, 0x4CF);
    alternating(m, 0x4C1, 0x4CE);
    alternating(m, 0x4D0, 0x52F);
    // Armenian, Georgian
    shifted(m, 0x531, 0x556, 0x30);
    shifted(m, 0x10A0, 0x10C5, 0x1C60);
    single(m, 0x10C7, 0x2D27);
    single(m, 0x10CD, 0x2D2D);
    // Latin Extended Additional
    alternating(m, 0x1E00, 0x1E95);
    single(m, 0x1E9B, 0x1E61);
    single(m, 0x1E9E, 0xDF);
    alternating(m, 0x1EA0, 0x1EFF);
    // Letterlike symbols, Roman numerals, circled letters
    single(m, 0x2126, 0x3C9);
    single(m, 0x212A, 0x6B);
    single(m, 0x212B, 0xE5);
    single(m, 0x2132, 0x214E);
    shifted(m, 0x2160, 0x216F, 0x10);
    single(m, 0x2183, 0x2184);
    shifted(m, 0x24B6, 0x24CF, 0x1A);
    // Glagolitic, Coptic, Cyrillic and Latin extensions
    shifted(m, 0x2C00, 0x2C2F, 0x30);
    single(m, 0x2C60, 0x2C61);
    alternating(m, 0x2C67, 0x2C6C);
    alternating(m, 0x2C80, 0x2CE3);
    alternating(m, 0xA640, 0xA66D);
    alternating(m, 0xA680, 0xA69B);
    alternating(m, 0xA722, 0xA72F);
    alternating(m, 0xA732, 0xA76F);
    alternating(m, 0xA779, 0xA77C);
    alternating(m, 0xA77E, 0xA787);
    single(m, 0xA78B, 0xA78C);
    alternating(m, 0xA790, 0xA793);
    alternating(m, 0xA796, 0xA7A9);
    // Full-width Latin
    shifted(m, 0xFF21, 0xFF3A, 0x20);
    return t;
}

const Table& foldTable() {
    static const std::unique_ptr<Table> instance = buildTable();
    return *instance;
}

} // namespace

const char16_t* CaseFold::table() {
    return foldTable().data();
}

char16_t CaseFold::fold(char16_t unit) {
    return foldTable()[unit];
}

std::u16string CaseFold::fold(std::u16string_view text) {
    const Table& t = foldTable();
    std::u16string out(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = t[text[i]];
    }
    return out;
}

bool CaseFold::equal(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    const Table& t = foldTable();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (t[a[i]] != t[b[i]]) {
            return false;
        }
    }
    return true;
}

} // namespace slidevane
