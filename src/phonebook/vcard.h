#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "phonebook/contact_files.h"

// No phone holds a longer name; cutting imported names here keeps a file that repeats one long
// name for many numbers from growing into a copy per number.
constexpr size_t kLongestImportedName = 1023;

// vCard 3.0 out; 2.1 and 3.0 in. Names are OEM text on our side and UTF-8 in the card.

// True when the bytes open a card: "BEGIN:VCARD" in any case, after an optional UTF-8
// byte-order mark and blank lines.
bool LooksLikeVCard(std::string_view bytes);

// One card, CRLF line ends, long lines folded.
std::string VCardFromContact(const Contact& contact);

// Every card in the bytes: one contact per number (the second and later named "Name (2)"...),
// cards without a number counted in Skipped.
ContactFile ReadVCards(std::string_view bytes);
