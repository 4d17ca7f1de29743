#include "plugin/guard.h"

#include <stdexcept>

#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "platform/error.h"

namespace Plugin {

void ReportLinkFailure(const io_error& failure) {
  Platform::SetLastError(failure.Code());
  FarLib::ShowSysError(failure.what());
}

void ReportFailure(std::exception_ptr failure) noexcept {
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const io_error& linkFailure) {
      ReportLinkFailure(linkFailure);
    } catch (const std::exception& other) {
      FarLib::ShowError(FarLib::GetMsg(Msg::kUnexpectedFailure), other.what());
    } catch (...) {
      FarLib::ShowError(FarLib::GetMsg(Msg::kUnexpectedFailure));
    }
  } catch (...) {
    // Showing the box failed as well (no memory left, say): the host must still not see it.
  }
}

}  // namespace Plugin
