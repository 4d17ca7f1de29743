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
// the phone stores it, and, when known, the name as the phone gave it, which a vCard writes so
// that letters the OEM page lacks are kept.
struct Contact {
  std::string Name;
  std::string Number;
  std::u16string WideName = {};
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

// No import takes more contacts from one file: a file with more is refused whole, so a hostile
// or mistaken file neither fills memory nor walks the user through thousands of dialogs.
constexpr size_t kMostContactsPerFile = 5000;

// What a file holds: every contact with a number, and how many cards or records without one
// were passed over. The kind of file follows from its first bytes ("ABZT" address book, "TZBA"
// single contact named after `fileName`, "BEGIN:VCARD" in any case after an optional byte-order
// mark and blank lines, else text or CSV lines). UTF-16 with a byte-order mark, in either byte
// order, is read as the same text in UTF-8 (vCard) or the OEM code page (text lines). Damaged
// files are read as far as they are sound.
//
// A card or record with several numbers keeps its name once: every number refers to it, so a
// long name repeated over many numbers costs its length only once.
class ContactFile {
 public:
  // The name the next numbers belong to, in the OEM code page and, where the file carried
  // more than that page holds, in UTF-16 as well.
  void AddName(std::string name, std::u16string wideName = {});
  // A number of the last name added; `ordinal` 0 gives the name as it is, n >= 2 "Name (n)".
  // False, with TooMany set, once the file holds more contacts than any import takes.
  bool AddNumber(std::string number, uint32_t ordinal = 0);

  size_t Size() const { return m_numbers.size(); }
  Contact At(size_t position) const;
  std::vector<Contact> Contacts() const;
  // More than kMostContactsPerFile contacts: reading stopped there and the file is refused.
  bool TooMany() const { return m_tooMany; }

  size_t Skipped = 0;

 private:
  struct SNumber {
    size_t name;
    uint32_t ordinal;
    std::string number;
  };
  struct SName {
    std::string oem;
    std::u16string wide;
  };
  std::vector<SName> m_names;
  std::vector<SNumber> m_numbers;
  bool m_tooMany = false;
};
ContactFile ReadContactFile(std::string_view bytes, std::string_view fileName);
