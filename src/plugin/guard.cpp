#include "plugin/guard.h"

#include <stdexcept>

#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "link/io_error.h"
#include "platform/error.h"

namespace Plugin {

void ReportFailure(std::exception_ptr failure) noexcept {
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const io_error& linkFailure) {
      Platform::SetLastError(linkFailure.Code());
      FarLib::ShowSysError(linkFailure.what());
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
