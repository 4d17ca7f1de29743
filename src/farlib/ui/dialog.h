#pragma once
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "farlib/ui/dialog_item.h"

// A dialog declared in code: items bound to variables, shown with the host's Dialog service.
// Values reach the variables only when the dialog is closed by one of its exit items and every
// item accepts its input; an item that refuses gets the focus and the dialog comes back with
// the user's input as typed.
namespace FarLib {

class CFarDialog {
 public:
  // Centred, `width` by `height` cells.
  CFarDialog(int width, int height, std::string helpTopic);

  // Items are numbered in the order they are added; each returns its number.
  int AddItem(std::unique_ptr<CFarDialogItem> item);
  template <typename TItem, typename... TArgs>
  int Add(TArgs&&... args) {
    return AddItem(std::make_unique<TItem>(std::forward<TArgs>(args)...));
  }
  // The double frame from column 3 to width - 4 and row 1 to height - 2, with a title.
  int AddFrame();
  int AddFrame(int titleMessage);
  int AddFrame(std::string title);
  // A button centred on row height - 4.
  int AddButton(int captionMessage);
  // Two centred buttons on row height - 4, the first the default; returns the first's number.
  int AddOKCancel(int okMessage, int cancelMessage);
  // The item focused first; a negative index counts back from the items added so far.
  void SetFocus(int index);
  int ItemCount() const { return static_cast<int>(m_items.size()); }

  // Closed by the second item from the end (OK of an OK and Cancel pair) it stores and returns 0;
  // closed by another item it stores nothing and returns that item's number; -1 when cancelled.
  int Run();
  // Closed by an exit item (a negative number counts back from the end) it stores and returns
  // the item's position in the list; any other way of closing stores nothing and returns -1.
  int Run(std::initializer_list<int> exitItems);

 private:
  int Run(const std::optional<std::vector<int>>& exitItems);
  // The position of the closing item in the exit list, or the run's result when it is not one.
  int ExitPosition(int closedBy, const std::optional<std::vector<int>>& exitItems,
                   bool& isExit) const;
  // The first item that refuses its record, or -1.
  int FirstRefusal(std::vector<FarDialogItem>& records);

  int m_left = -1;
  int m_top = -1;
  int m_right;
  int m_bottom;
  int m_focus = 0;
  std::string m_helpTopic;
  std::vector<std::unique_ptr<CFarDialogItem>> m_items;
};

}  // namespace FarLib
