#pragma once
#include <exception>
#include <type_traits>

#include "link/io_error.h"

namespace Plugin {

// A link failure in the system-error box: its code becomes the last error, whose text the host
// shows under the failure's own.
void ReportLinkFailure(const io_error& failure);

// Runs `step`; a link failure that ends it is reported and the caller goes on (a panel stays
// open, a menu standing). Whether the step ran to its end.
template <typename Step>
bool RunReportingLinkFailure(Step&& step) {
  try {
    step();
    return true;
  } catch (const io_error& failure) {
    ReportLinkFailure(failure);
    return false;
  }
}

// Tells the user about a failure that reached an export: a link failure in the system-error
// box, anything else in an error box of the plug-in's own. Never throws.
void ReportFailure(std::exception_ptr failure) noexcept;

// Runs the body of an export. No exception may reach the host, which knows nothing of C++
// exceptions: anything thrown is reported and ends the call with `failure`, the value the
// host reads as failure (none for an export without a result).
template <typename Body, typename... Failure>
std::invoke_result_t<Body> Guard(Body&& body, Failure... failure) noexcept {
  try {
    return body();
  } catch (...) {
    ReportFailure(std::current_exception());
    return std::invoke_result_t<Body>(failure...);
  }
}

}  // namespace Plugin
