#pragma once

#include <string>

namespace setforge::platform {

// The German reason for a system error number, with the system's own English text in brackets
// so that a report can still be looked up. Never empty.
[[nodiscard]] std::string systemReason(int errorNumber);

#ifdef _WIN32
// The same for a Windows error code (GetLastError()).
[[nodiscard]] std::string windowsReason(unsigned long errorCode);
#endif

} // namespace setforge::platform
