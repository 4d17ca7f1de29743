#pragma once
#include <string>

#include "platform/file.h"

namespace Plugin {

// What to do when the file to be written exists already.
enum OutputFileMode {
  kAskOverwrite = 0,          // ask: overwrite or cancel
  kAskOverwriteOrAppend = 1,  // ask: overwrite, append or cancel
  kAppendSilently = 2,        // append without asking
  // any other value overwrites without asking
};

// Creates a file for what the user copies out of the phone. A file that exists is handled as
// `mode` says; a file that cannot be written is reported (unless `silent`). The result is not
// open when the user cancelled or the file could not be had.
Platform::CFile CreateOutputFile(const std::string& name, bool silent, int mode);

// Writes all of `bytes` (nothing for none); false when the file took fewer.
bool WriteAll(Platform::CFile& file, const std::string& bytes);

}  // namespace Plugin
