#pragma once
#include <string>

// The registry key a test's host hands the plug-in as the root of its settings. Natively each
// test keeps its registry in a store file of its own, so Far's own key will do; under Wine every
// program shares the prefix's one registry while tests run side by side, so each test program
// gets a key of its own (see tests/support/posix and tests/support/win32).
std::string TestHostRootKey();
// Removes what the plug-in kept below TestHostRootKey(), where that key is this program's own.
void ForgetTestHostRootKey();
