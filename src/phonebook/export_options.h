#pragma once
#include "phonebook/contact_files.h"

// How entries copied out of the phone book are written: in which format, and whether the files
// are named with the format's extension.
struct ExportOptions {
  ExportFormat Format = ExportFormat::Text;
  bool Extension = true;
};
