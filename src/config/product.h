#pragma once

#include "config/version.h"

#include <string_view>

namespace setforge::config {

// The product's names and addresses, for the windows, the dialogs and the package.
inline constexpr std::string_view ApplicationTitle = "Halvren Setforge";
inline constexpr std::string_view ProductTitle = "Halvren Setforge " SETFORGE_VERSION;
inline constexpr std::string_view MakerName = "Halvren";
inline constexpr std::string_view MakerUrl = "https://halvren.example/";
inline constexpr std::string_view PartnerName = "Feldlager";
inline constexpr std::string_view PartnerUrl = "https://feldlager.example/";

} // namespace setforge::config
