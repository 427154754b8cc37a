#pragma once

namespace slidevane {

// The vendor's web site: opened by the web button and named in the purchase message.
inline constexpr const char* VendorAddress = "http://www.norvale.example/";

} // namespace slidevane
