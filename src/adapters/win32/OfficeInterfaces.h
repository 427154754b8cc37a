#pragma once

#include <guiddef.h>

// The interface identifiers of the presentation application's automation object model that the
// launcher asks for. The objects are called through IDispatch on these interfaces (they are dual),
// so no header of the application is needed: only these identifiers and the member names.
namespace slidevane::office {

// _Application
inline constexpr GUID IID_Application = {
    0x91493442, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
// Presentations
inline constexpr GUID IID_Presentations = {
    0x91493462, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
// _Presentation
inline constexpr GUID IID_Presentation = {
    0x9149349D, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

} // namespace slidevane::office
