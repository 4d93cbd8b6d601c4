#pragma once

#include <string>

namespace setforge::platform {

// The German reason for a system error number, with the system's own English text in brackets
// so that a report can still be looked up. Never empty.
[[nodiscard]] std::string systemReason(int errorNumber);

} // namespace setforge::platform
