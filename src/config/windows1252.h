#pragma once

#include <string>
#include <string_view>

namespace setforge::config {

// Windows-1252 bytes as UTF-8, for configs written by older tools and Windows editors. The five
// bytes the code page leaves undefined become the C1 control of the same number, as Windows does.
[[nodiscard]] std::string windows1252ToUtf8(std::string_view bytes);

} // namespace setforge::config
