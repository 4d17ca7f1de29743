#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The files contacts travel in: plain text, CSV, the address-book format and its single-contact
// form, and vCard. Pure conversions between bytes and contacts; opening, naming and writing the
// files is the caller's.

// One contact as the phone book holds it: the name in the host's OEM code page, the number as
// the phone stores it.
struct Contact {
  std::string Name;
  std::string Number;
  bool operator==(const Contact&) const = default;
};

// The OutFormat setting's values.
enum class ExportFormat : uint32_t { Text = 0, AddressBook = 1, Csv = 2, VCard = 3 };
constexpr uint32_t kLastExportFormat = 3;

// ".txt", ".abk", ".csv", ".vcf".
const char* ExportExtension(ExportFormat format);

// What a file starts with: the text header naming the storage, the CSV header, the address
// book's signature with its counts (`count` contacts follow), nothing for vCard.
std::string ExportHeader(ExportFormat format, const std::string& storageName, uint32_t count);

// One contact in the format's bytes.
std::string ExportContact(ExportFormat format, const Contact& contact);

// What a file holds: every contact with a number, and how many cards or records without one
// were passed over. The kind of file follows from its first bytes ("ABZT" address book, "TZBA"
// single contact named after `fileName`, "BEGIN:VCARD" in any case after an optional UTF-8
// byte-order mark, else text or CSV lines). Damaged files are read as far as they are sound.
struct ContactFile {
  std::vector<Contact> Contacts;
  size_t Skipped = 0;
};
ContactFile ReadContactFile(std::string_view bytes, std::string_view fileName);
