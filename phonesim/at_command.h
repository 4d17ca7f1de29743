#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace PhoneSim {

// One command of a command line (V.25ter): "AT+CPBR=1,5;+CPBS?" holds two.
struct AtCommand {
  enum class Form { Action, Set, Query, Test };
  std::string name;  // upper case: "+CPBR", "E", "&F"
  Form form = Form::Action;
  std::string arguments;  // what follows "=" (Set) or the digits of a basic command
  std::string text;       // the command as it was written, "+CPBR=1,5"
};

// The commands of a line, or nullopt when the line holds no "AT" (the phone ignores it) or
// cannot be split (the phone answers ERROR: see `malformed`).
struct CommandLine {
  std::vector<AtCommand> commands;
  bool malformed = false;
};
std::optional<CommandLine> SplitCommandLine(std::string_view line);

// One parameter of an extended command: omitted, a quoted string (its \HH escapes
// resolved) or a bare value.
struct Argument {
  bool present = false;
  bool quoted = false;
  std::string text;
};
// nullopt on an unclosed quote or a bad escape.
std::optional<std::vector<Argument>> ParseArguments(std::string_view arguments);

// A decimal parameter within [low, high]; nullopt when missing, quoted or out of range.
std::optional<int> NumberArgument(const std::vector<Argument>& arguments, size_t at, int low,
                                  int high);

// A string for an answer: quoted, with '"' and '\' written as \22 and \5C.
std::string Quoted(std::string_view bytes, bool escape);

}  // namespace PhoneSim
