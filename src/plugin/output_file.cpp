#include "plugin/output_file.h"

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "platform/error.h"

namespace Plugin {
namespace {

enum class Existing { Overwrite, Append, Cancel };

Existing AskAboutExisting(const std::string& name, bool offerAppend) {
  const char* title = FarLib::GetMsg(Msg::kWarning);
  const char* question = FarLib::GetMsg(Msg::kFileExists);
  const char* overwrite = FarLib::GetMsg(Msg::kOverwrite);
  const char* cancel = FarLib::GetMsg(Msg::kCancel);
  const int button =
      offerAppend
          ? FarLib::ShowMessage(
                FMSG_WARNING, "AlreadyExists",
                {title, question, name.c_str(), overwrite, FarLib::GetMsg(Msg::kAppend), cancel}, 3)
          : FarLib::ShowMessage(FMSG_WARNING, "AlreadyExists",
                                {title, question, name.c_str(), overwrite, cancel}, 2);
  if (button == 0) return Existing::Overwrite;
  if (button == 1 && offerAppend) return Existing::Append;
  return Existing::Cancel;
}

Existing DecideAboutExisting(const std::string& name, int mode) {
  switch (mode) {
    case kAskOverwrite: return AskAboutExisting(name, false);
    case kAskOverwriteOrAppend: return AskAboutExisting(name, true);
    case kAppendSilently: return Existing::Append;
    default: return Existing::Overwrite;
  }
}

Platform::CFile Reopen(const std::string& name, Existing how) {
  if (how == Existing::Overwrite)
    return Platform::CFile::Open(name, Platform::OpenMode::CreateAlways);
  Platform::CFile file = Platform::CFile::Open(name, Platform::OpenMode::AppendAlways);
  if (file.IsOpen() && !file.SeekToEnd()) return {};
  return file;
}

// The host adds the text of the thread's last error, so that is put back after the texts
// are fetched.
void ShowCannotOpen(const std::string& name) {
  const uint32_t error = Platform::LastError();
  const std::initializer_list<const char*> lines = {FarLib::GetMsg(Msg::kTitle),
                                                    FarLib::GetMsg(Msg::kCannotOpenDevice),
                                                    name.c_str(), FarLib::GetMsg(Msg::kOk)};
  Platform::SetLastError(error);
  FarLib::ShowMessage(FMSG_WARNING | FMSG_ERRORTYPE, "OpenError", lines, 1);
}

}  // namespace

Platform::CFile CreateOutputFile(const std::string& name, bool silent, int mode) {
  Platform::CFile file = Platform::CFile::Open(name, Platform::OpenMode::CreateNew);
  if (file.IsOpen() || silent) return file;
  if (Platform::LastError() == Platform::kErrorFileExists) {
    const Existing how = DecideAboutExisting(name, mode);
    if (how == Existing::Cancel) return {};
    file = Reopen(name, how);
    if (file.IsOpen()) return file;
  }
  ShowCannotOpen(name);
  return {};
}

bool WriteAll(Platform::CFile& file, const std::string& bytes) {
  uint32_t written = 0;
  return bytes.empty() || (file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) &&
                           written == bytes.size());
}

}  // namespace Plugin
