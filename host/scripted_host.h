#pragma once
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "farapi/far_api.h"
#include "host/host_ui.h"
#include "host/lng_catalog.h"
#include "host/shown_ui.h"

// A host for tests: a start-up record whose Menu, Dialog, Message, GetMsg, SaveScreen and
// RestoreScreen read what the plug-in shows as Far would, record it, and answer from a script.
// Dialogs are answered by help topic and item number, menus by index or break key, message
// boxes by button, all in the order the script gives. Anything shown that the script does not
// expect, and any malformed record, is reported to the failure handler with an account of what
// was expected and what was shown; the plug-in then sees a cancel.
namespace Host {

class CDialogAnswer {
 public:
  explicit CDialogAnswer(std::string helpTopic) : m_helpTopic(std::move(helpTopic)) {}

  // Types a text into an edit item, as far as its room allows.
  CDialogAnswer& SetText(int item, std::string text);
  // Sets a check box's state, or selects a radio button (clearing the rest of its group).
  CDialogAnswer& SetSelected(int item, int state = 1);
  CDialogAnswer& WhileShown(std::function<void()> hook);
  void Close(int item);
  void PressEnter();
  void Escape();

  std::string Describe() const;

 private:
  friend class CScriptedHost;
  enum class Exit { Unset, Item, Enter, Escape };
  struct Input {
    int item = 0;
    std::optional<std::string> text;
    int state = 0;
  };
  std::string m_helpTopic;
  std::vector<Input> m_inputs;
  std::function<void()> m_hook;
  Exit m_exit = Exit::Unset;
  int m_closeItem = -1;
};

class CMenuAnswer {
 public:
  explicit CMenuAnswer(std::string helpTopic) : m_helpTopic(std::move(helpTopic)) {}

  void Choose(int index);
  // A key as a break-key entry spells it: the virtual-key code, the PKF_* bits held in the
  // high word. The menu ends on it when one of its break keys matches.
  void PressKey(int key);
  void Escape();
  // Moves the cursor before PressKey; otherwise it stands on the selected item.
  CMenuAnswer& At(int index);
  CMenuAnswer& WhileShown(std::function<void()> hook);

  std::string Describe() const;

 private:
  friend class CScriptedHost;
  enum class Exit { Unset, Choose, Key, Escape };
  std::string m_helpTopic;
  std::function<void()> m_hook;
  Exit m_exit = Exit::Unset;
  int m_index = -1;
  int m_key = 0;
  std::optional<int> m_cursor;
};

class CMessageAnswer {
 public:
  // Whichever button comes last in the box shown: "Give up" at a time-out, OK in an error box.
  static constexpr int kLastButton = -2;

  CMessageAnswer(int button, std::function<void()> hook)
      : m_button(button), m_hook(std::move(hook)) {}

  // Without a topic, any box with buttons takes this answer.
  CMessageAnswer& Topic(std::string helpTopic);

  std::string Describe() const;

 private:
  friend class CScriptedHost;
  int m_button;
  std::function<void()> m_hook;
  std::optional<std::string> m_helpTopic;
};

class CScriptedHost {
 public:
  using ShownMessage = Host::ShownMessage;
  using ShownDialog = Host::ShownDialog;
  using ShownMenu = Host::ShownMenu;
  static constexpr int kModuleNumber = 42;
  // Far's key for its plug-ins' settings, the default root key.
  static constexpr const char* kRootKey = "Software\\Far\\Plugins";

  // The newest instance serves the services; the one before it takes over when it goes.
  CScriptedHost();
  ~CScriptedHost();
  CScriptedHost(const CScriptedHost&) = delete;
  CScriptedHost& operator=(const CScriptedHost&) = delete;

  const PluginStartupInfo& StartupInfo() const { return m_info; }
  // The registry key the plug-in keeps its settings below (kRootKey unless set); set before
  // the module is loaded.
  void SetRootKey(std::string rootKey);

  // Names the plug-in module; GetMsg then reads the language files beside it. False when
  // neither a file of the language nor an English one is there.
  bool SetModule(const std::filesystem::path& modulePath, std::string_view language = "English");
  // Overrides one message, or supplies it when no language file is loaded.
  void SetMessageText(int number, std::string text);
  // A message nobody supplied then reads "message N" instead of being reported.
  void NameMissingMessages() { m_nameMissingMessages = true; }

  CDialogAnswer& AnswerDialog(std::string helpTopic);
  CMenuAnswer& AnswerMenu(std::string helpTopic);
  CMessageAnswer& AnswerMessage(int button, std::function<void()> whileShown = {});
  // Answers every box with buttons that finds no message step next in the script.
  void AnswerEveryMessage(int button, std::function<void()> whileShown = {});

  // Answers dialogs, menus and message boxes from a person instead of the script (null: the
  // script again). The records are read and checked as before; the UI is not owned.
  void SetUi(CHostUi* ui) { m_ui = ui; }

  // Without a handler, failures are only collected.
  void OnFailure(std::function<void(const std::string&)> report) { m_report = std::move(report); }
  const std::vector<std::string>& Failures() const { return m_failures; }
  // Reports the script's unused steps and the screens saved but never restored.
  void Verify();
  size_t PendingSteps() const { return m_script.size(); }

  const std::vector<ShownDialog>& Dialogs() const { return m_dialogs; }
  const std::vector<ShownMenu>& Menus() const { return m_menus; }
  const std::vector<ShownMessage>& Messages() const { return m_messages; }
  // One line per call, in order: what was shown and how it ended.
  const std::vector<std::string>& Log() const { return m_log; }
  size_t OpenScreens() const { return m_openScreens.size(); }
  // Drops what was shown, the log and the failures, so a host that runs for hours keeps no
  // more than one step's worth; the script and the open screens stay.
  void ForgetRecords();

 protected:
  // For a host built on this one: the record it completes, and the same failure record.
  PluginStartupInfo& MutableStartupInfo() { return m_info; }
  void Fail(const std::string& text);

 private:
  using Step = std::variant<CDialogAnswer, CMenuAnswer, CMessageAnswer>;

  static CScriptedHost* Current();
  static int ZANTEL_STDCALL MenuService(int module, int x, int y, int maxHeight, FarDword flags,
                                        const char* title, const char* bottom,
                                        const char* helpTopic, const int* breakKeys, int* breakCode,
                                        const FarMenuItem* items, int count);
  static int ZANTEL_STDCALL DialogService(int module, int x1, int y1, int x2, int y2,
                                          const char* helpTopic, FarDialogItem* items, int count);
  static int ZANTEL_STDCALL MessageService(int module, FarDword flags, const char* helpTopic,
                                           const char* const* items, int count, int buttons);
  static const char* ZANTEL_STDCALL GetMsgService(int module, int number);
  static FarHandle ZANTEL_STDCALL SaveScreenService(int x1, int y1, int x2, int y2);
  static void ZANTEL_STDCALL RestoreScreenService(FarHandle screen);

  void CheckModule(int module, const char* service);
  std::optional<Step> TakeStep();
  int AnswerDialogWith(CDialogAnswer& answer, const ShownDialog& shown, FarDialogItem* items);
  bool ApplyInput(const CDialogAnswer::Input& input, const ShownDialog& shown,
                  FarDialogItem* items);
  int AnswerMenuWith(CMenuAnswer& answer, const ShownMenu& shown, int& breakCode);
  int AnswerMessageWith(const ShownMessage& shown);
  int ShowDialog(const char* helpTopic, int x1, int y1, int x2, int y2, FarDialogItem* items,
                 int count);
  int ShowMenu(ShownMenu shown, int* breakCode);
  const char* MessageText(int number);

  PluginStartupInfo m_info{};
  std::string m_rootKey;
  CScriptedHost* m_previous = nullptr;
  CHostUi* m_ui = nullptr;
  std::function<void(const std::string&)> m_report;
  std::vector<std::string> m_failures;
  std::deque<Step> m_script;
  std::optional<CMessageAnswer> m_standingMessageAnswer;
  std::vector<ShownDialog> m_dialogs;
  std::vector<ShownMenu> m_menus;
  std::vector<ShownMessage> m_messages;
  std::vector<std::string> m_log;
  CLngCatalog m_catalog;
  // Texts handed out stay valid for the host's lifetime, as Far keeps its messages loaded.
  std::deque<std::string> m_textStore;
  std::map<int, const char*> m_overrides;
  bool m_nameMissingMessages = false;
  std::set<uintptr_t> m_openScreens;
  uintptr_t m_lastScreen = 0;
};

}  // namespace Host
