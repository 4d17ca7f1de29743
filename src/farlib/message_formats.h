#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "farlib/language_file.h"

// The language-file messages that callers hand to FormatMsg, with the conversions of the
// arguments they pass, in order. A translator who drops, swaps or adds a placeholder would
// make printf read arguments that were never passed, so the language-file checks hold every
// message against this table: a listed message must carry exactly these conversions, any
// other message none at all.
namespace Msg {

struct FormatUse {
  int Number;
  std::string_view Conversions;  // as FarLib::FormatConversions gives them
};

inline constexpr FormatUse kFormattedMessages[] = {
    {19, "%d"},       // port settings title: the port number
    {46, "%d%s"},     // port menu item: the port number, its description
    {71, "%s"},       // phone book storage description: the storage name
    {72, "%d"},       // re-reading one entry: its index
    {73, "%d%d"},     // reading one location: the index, the last index
    {74, "%d%d%d"},   // reading a chunk: first and last index of the chunk, the last index
    {87, "%s"},       // copy prompt: the item's name
    {88, "%d"},       // copy prompt: the number of items
    {94, "%s"},       // move prompt: the item's name
    {95, "%d"},       // move prompt: the number of items
    {100, "%d"},      // destination index taken: the index
    {104, "%d"},      // delete question: the number of selected items
    {106, "%s"},      // functions menu: the phone's character set
    {108, "%s%s"},    // functions menu: manufacturer, model
    {130, "%s"},      // SMS storage description: the storage code
    {142, "%d%d"},    // message dialog: part number, part count
    {166, "%d%d"},    // text too long: characters, one message's limit
    {167, "%d"},      // text too long: the number of parts
    {175, "%d"},      // time-out prompt: seconds
    {178, "%d%d"},    // range validator: lower and upper bound
    {181, "%d"},      // name or number too long: the limit
    {184, "%d"},      // command too long for the link: its limit
    {200, "%s%s"},    // a model profile exists already: manufacturer, model
    {203, "%d"},      // a contact file holds too many contacts: the most one file may hold
    {207, "%s"},      // an entry the phone cannot store: the set that could carry it
    {210, "%d"},      // lines of a listing that are no entry: their count
    {213, "%s"},      // a PIN the phone refused: the phone's answer
    {217, "%s"},      // a transmission stopped part-way: the destinations that had it whole
    {218, "%s"},      // the same for saving
    {219, "%d%d%s"},  // parts sent: how many, of how many, the destination
    {220, "%d%d%s"},  // parts saved: the same
    {221, "%d%d%s"},  // the part not sent: its number, the part count, the destination
    {222, "%d%d%s"},  // the part not saved: the same
};

// The conversions message `number` must carry; empty for a message shown as it is.
std::string_view ExpectedConversions(int number);

}  // namespace Msg

namespace FarLib {

// The conversions of a printf format in order, each as '%', its length modifier and its
// letter ("%-10.4lu" gives "%lu"); flags, widths and precisions are left out and "%%" too. A
// '*' stays, since it takes an argument of its own; a format ending inside a conversion gives
// "%<unfinished>" for it.
std::string FormatConversions(std::string_view format);

// Messages of the plug-in's own blocks (no .Module) whose conversions differ from the table's,
// each at the line it stands on.
std::vector<LanguageFileIssue> CheckMessageFormats(std::string_view text);

}  // namespace FarLib
