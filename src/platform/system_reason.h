#pragma once

#include <string>

namespace setforge::platform {

// The German reason for a system error number, with the system's own English text in brackets
// so that a report can still be looked up. Never empty. Without `withEnglish` the English text is
// left out where there is a German one.
[[nodiscard]] std::string systemReason(int errorNumber, bool withEnglish = true);

#ifdef _WIN32
// The same for a Windows error code (GetLastError()).
[[nodiscard]] std::string windowsReason(unsigned long errorCode, bool withEnglish = true);
#endif

} // namespace setforge::platform
