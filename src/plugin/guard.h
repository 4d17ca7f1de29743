#pragma once
#include <type_traits>

namespace Plugin {

// Runs the body of an export. No exception may reach the host, which knows nothing of C++
// exceptions: anything thrown ends the call with `failure`, the value the host reads as
// failure (none for an export without a result, where nothing can be reported).
template <typename Body, typename... Failure>
std::invoke_result_t<Body> Guard(Body&& body, Failure... failure) noexcept {
  try {
    return body();
  } catch (...) {
    return std::invoke_result_t<Body>(failure...);
  }
}

}  // namespace Plugin
