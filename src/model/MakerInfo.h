#pragma once

namespace veskaro {

// The maker's notice and web pages, as every generated page and style sheet names them. The addresses
// lie under a domain reserved for examples, so no published page points at a real site.

/// The one-line notice that names the maker and reserves its rights.
inline constexpr const char* kMakerRightsNotice = "Copyright (C) Tarnwell Software. All rights reserved.";
/// The address of the product's web page.
inline constexpr const char* kProductPageAddress = "https://www.example.com/veskaro/";
/// The address of the product's support page.
inline constexpr const char* kSupportPageAddress = "https://www.example.com/veskaro/support/";

} // namespace veskaro
