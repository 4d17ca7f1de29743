// Any bytes as an imported contact file, under each of the names a file can carry: the reader
// finishes without a crash, a hang or unbounded memory, every contact has a number, and no
// more contacts and passed-over records come out than the bytes could hold.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "phonebook/contact_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ContactFile file = ReadContactFile(bytes, "C:\\import\\Ann.vcf");
  if (file.Contacts.size() + file.Skipped > size) __builtin_trap();
  for (const Contact& contact : file.Contacts) {
    if (contact.Number.empty()) __builtin_trap();
    // What was read can be written in every format.
    for (uint32_t format = 0; format <= kLastExportFormat; ++format) {
      if (ExportContact(static_cast<ExportFormat>(format), contact).empty()) __builtin_trap();
    }
  }
  return 0;
}
