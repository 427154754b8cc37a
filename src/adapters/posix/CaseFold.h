#pragma once

#include <string>
#include <string_view>

namespace slidevane {

// Folds UTF-16 code units to one case so that registry names and file names compare the way
// Windows compares them: case-insensitively beyond ASCII (Latin-1, Latin Extended, Greek,
// Cyrillic, Armenian, Georgian, full-width forms).
//
// Owns: a fold table for the Basic Multilingual Plane, built once. Does not own: normalisation
// (composed and decomposed forms stay different, as they do on Windows) or characters outside
// the BMP, which compare exactly; folding is per unit, as registry names are kept per unit.
class CaseFold {
public:
    static char16_t fold(char16_t unit);
    // The folded form of every unit, for loops that fold many: fold(u) is table()[u].
    static const char16_t* table();
    static std::u16string fold(std::u16string_view text);
    static bool equal(std::u16string_view a, std::u16string_view b);
};

} // namespace slidevane
