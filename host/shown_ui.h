#pragma once
#include <optional>
#include <string>
#include <vector>

#include "farapi/far_api.h"

// What the plug-in put on the screen, as the host read it from the records it was given.
namespace Host {

// Printed for a help topic the plug-in passed as a null pointer.
inline constexpr const char* kNoTopic = "(none)";

struct ShownDialogItem {
  int type = 0;
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int focus = 0;
  int selected = 0;                    // check boxes and radio buttons only
  std::optional<std::string> history;  // edits with DIF_HISTORY only
  FarDword flags = 0;
  int defaultButton = 0;
  std::string data;   // the text, from Data or from the variable buffer
  int varLength = 0;  // the variable buffer's size; 0 when the text sits in Data
};

struct ShownDialog {
  std::string helpTopic;
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  std::vector<ShownDialogItem> items;
  int result = -1;  // the item that closed it, or -1
};

struct ShownMenuItem {
  std::string text;
  int selected = 0;
  int checked = 0;
  int separator = 0;
};

struct ShownMenu {
  std::string helpTopic;
  std::string title;
  std::string bottom;
  FarDword flags = 0;
  int x = 0;
  int y = 0;
  int maxHeight = 0;
  std::vector<int> breakKeys;
  std::vector<ShownMenuItem> items;
  int result = -1;
  int breakCode = -1;
};

struct ShownMessage {
  FarDword flags = 0;
  std::string helpTopic;
  std::vector<std::string> items;  // title, lines, then the button captions
  int buttons = 0;
  std::string errorText;  // the last system error's text the host adds for FMSG_ERRORTYPE
  int result = -1;
};

// Readable accounts, one line per item, for failure reports.
std::string Describe(const ShownDialog& dialog);
std::string Describe(const ShownMenu& menu);
std::string Describe(const ShownMessage& message);
std::string DescribeKey(int key);

}  // namespace Host
