// Any bytes as an imported contact file, under a name the first byte picks (the single-contact
// form takes its contact's name from the file's): the reader finishes without a crash, a hang or
// unbounded memory, every contact has a number, and no more contacts and passed-over records
// come out than the bytes could hold. A contact of a plain name and a dialable number is
// written in every export format and read back unchanged (its UTF-16 name through a vCard).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "phonebook/contact_files.h"
#include "phonebook/vcard.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::array<std::string_view, 6> kFileNames = {
    "C:\\import\\Ann.vcf", "Ann", "", "C:\\import\\", "/home/ann/.abk", "C:\\a\\b/Bob Smith.tzba"};

// What every format carries unchanged: printable OEM text without the quotes and blanks at its
// ends that a text line would lose, and the characters a phone dials.
bool RoundTrips(const Contact& contact) {
  const std::string& name = contact.Name;
  const bool plainName = !name.empty() && name.size() <= kLongestImportedName &&
                         name.front() != ' ' && name.back() != ' ' && name.front() != '"' &&
                         name.back() != '"' && std::none_of(name.begin(), name.end(), [](char c) {
                           return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                         });
  const bool dialable = contact.Number.find_first_not_of("+0123456789*#pw") == std::string::npos;
  return plainName && dialable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view fileName = kFileNames[data[0] % kFileNames.size()];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const ContactFile file = ReadContactFile(bytes, fileName);
  if (file.Size() + file.Skipped > size) __builtin_trap();
  for (const Contact& contact : file.Contacts()) {
    if (contact.Number.empty()) __builtin_trap();
    for (uint32_t format = 0; format <= kLastExportFormat; ++format) {
      const auto exportFormat = static_cast<ExportFormat>(format);
      const std::string written = ExportContact(exportFormat, contact);
      Check(!written.empty());
      if (!RoundTrips(contact)) continue;
      const ContactFile back =
          ReadContactFile(ExportHeader(exportFormat, "SM", 1) + written, "C:\\export\\SM");
      Check(back.Skipped == 0 && back.Size() == 1);
      // Only a vCard carries the name's UTF-16 form; the others carry the host text.
      const Contact read = back.At(0);
      Check(read.Name == contact.Name && read.Number == contact.Number);
      Check(exportFormat != ExportFormat::VCard || read.WideName == contact.WideName);
    }
  }
  return 0;
}
