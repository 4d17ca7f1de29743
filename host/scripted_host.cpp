#include "host/scripted_host.h"

#include <cstdio>
#include <cstring>

#include "host/record_reader.h"
#include "platform/error.h"

namespace Host {
namespace {

CScriptedHost* g_current = nullptr;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Account(const std::string& expected, const std::string& shown) {
  return "the script expected: " + expected + "\nthe plug-in showed: " + shown;
}

std::string DescribeStep(const std::variant<CDialogAnswer, CMenuAnswer, CMessageAnswer>& step) {
  return std::visit([](const auto& answer) { return answer.Describe(); }, step);
}

bool IsSelectable(const ShownMenuItem& item) { return item.separator == 0; }

// Where Far puts the cursor: the selected item, else the first one that is not a separator.
int CursorOf(const ShownMenu& menu) {
  int first = -1;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    if (!IsSelectable(menu.items[i])) continue;
    if (menu.items[i].selected) return static_cast<int>(i);
    if (first < 0) first = static_cast<int>(i);
  }
  return first;
}

}  // namespace

CDialogAnswer& CDialogAnswer::SetText(int item, std::string text) {
  m_inputs.push_back({item, std::move(text), 0});
  return *this;
}

CDialogAnswer& CDialogAnswer::SetSelected(int item, int state) {
  m_inputs.push_back({item, std::nullopt, state});
  return *this;
}

CDialogAnswer& CDialogAnswer::WhileShown(std::function<void()> hook) {
  m_hook = std::move(hook);
  return *this;
}

void CDialogAnswer::Close(int item) {
  m_exit = Exit::Item;
  m_closeItem = item;
}

void CDialogAnswer::PressEnter() { m_exit = Exit::Enter; }

void CDialogAnswer::Escape() { m_exit = Exit::Escape; }

std::string CDialogAnswer::Describe() const {
  std::string text = "dialog " + Quoted(m_helpTopic);
  for (const Input& input : m_inputs) {
    text += input.text
                ? ", type " + Quoted(*input.text) + " into [" + std::to_string(input.item) + "]"
                : ", set [" + std::to_string(input.item) + "] to " + std::to_string(input.state);
  }
  switch (m_exit) {
    case Exit::Unset: return text + ", no way to close it";
    case Exit::Item: return text + ", close with [" + std::to_string(m_closeItem) + "]";
    case Exit::Enter: return text + ", press Enter";
    case Exit::Escape: break;
  }
  return text + ", press Esc";
}

void CMenuAnswer::Choose(int index) {
  m_exit = Exit::Choose;
  m_index = index;
}

void CMenuAnswer::PressKey(int key) {
  m_exit = Exit::Key;
  m_key = key;
}

void CMenuAnswer::Escape() { m_exit = Exit::Escape; }

CMenuAnswer& CMenuAnswer::At(int index) {
  m_cursor = index;
  return *this;
}

CMenuAnswer& CMenuAnswer::WhileShown(std::function<void()> hook) {
  m_hook = std::move(hook);
  return *this;
}

std::string CMenuAnswer::Describe() const {
  const std::string text = "menu " + Quoted(m_helpTopic);
  switch (m_exit) {
    case Exit::Unset: return text + ", no way to leave it";
    case Exit::Choose: return text + ", choose [" + std::to_string(m_index) + "]";
    case Exit::Key:
      return text + ", press " + DescribeKey(m_key) +
             (m_cursor ? " at [" + std::to_string(*m_cursor) + "]" : "");
    case Exit::Escape: break;
  }
  return text + ", press Esc";
}

CMessageAnswer& CMessageAnswer::Topic(std::string helpTopic) {
  m_helpTopic = std::move(helpTopic);
  return *this;
}

std::string CMessageAnswer::Describe() const {
  return "message box" + (m_helpTopic ? " " + Quoted(*m_helpTopic) : std::string()) +
         ", answer button " + std::to_string(m_button);
}

CScriptedHost::CScriptedHost() : m_rootKey(kRootKey), m_previous(g_current) {
  g_current = this;
  m_info.StructSize = sizeof(m_info);
  m_info.ModuleNumber = kModuleNumber;
  m_info.RootKey = m_rootKey.c_str();
  m_info.Menu = &CScriptedHost::MenuService;
  m_info.Dialog = &CScriptedHost::DialogService;
  m_info.Message = &CScriptedHost::MessageService;
  m_info.GetMsg = &CScriptedHost::GetMsgService;
  m_info.SaveScreen = &CScriptedHost::SaveScreenService;
  m_info.RestoreScreen = &CScriptedHost::RestoreScreenService;
}

CScriptedHost::~CScriptedHost() { g_current = m_previous; }

void CScriptedHost::SetRootKey(std::string rootKey) {
  m_rootKey = std::move(rootKey);
  m_info.RootKey = m_rootKey.c_str();
}

CScriptedHost* CScriptedHost::Current() { return g_current; }

bool CScriptedHost::SetModule(const std::filesystem::path& modulePath, std::string_view language) {
  std::snprintf(m_info.ModuleName, sizeof m_info.ModuleName, "%s", modulePath.string().c_str());
  return m_catalog.Load(modulePath.parent_path(), language);
}

void CScriptedHost::SetMessageText(int number, std::string text) {
  m_overrides[number] = m_textStore.emplace_back(std::move(text)).c_str();
}

CDialogAnswer& CScriptedHost::AnswerDialog(std::string helpTopic) {
  return std::get<CDialogAnswer>(m_script.emplace_back(CDialogAnswer(std::move(helpTopic))));
}

CMenuAnswer& CScriptedHost::AnswerMenu(std::string helpTopic) {
  return std::get<CMenuAnswer>(m_script.emplace_back(CMenuAnswer(std::move(helpTopic))));
}

CMessageAnswer& CScriptedHost::AnswerMessage(int button, std::function<void()> whileShown) {
  return std::get<CMessageAnswer>(
      m_script.emplace_back(CMessageAnswer(button, std::move(whileShown))));
}

void CScriptedHost::AnswerEveryMessage(int button, std::function<void()> whileShown) {
  m_standingMessageAnswer.emplace(button, std::move(whileShown));
}

void CScriptedHost::Verify() {
  for (const Step& step : m_script)
    Fail("the plug-in never showed the scripted " + DescribeStep(step));
  m_script.clear();
  for (const uintptr_t screen : m_openScreens) {
    Fail("screen " + std::to_string(screen) + " was saved and never restored");
  }
  m_openScreens.clear();
}

void CScriptedHost::ForgetRecords() {
  m_dialogs.clear();
  m_menus.clear();
  m_messages.clear();
  m_log.clear();
  m_failures.clear();
}

void CScriptedHost::Fail(const std::string& text) {
  m_failures.push_back(text);
  m_log.push_back("FAILED: " + text);
  if (m_report) m_report(text);
}

void CScriptedHost::CheckModule(int module, const char* service) {
  if (module != kModuleNumber) {
    Fail(std::string(service) + " was called with module number " + std::to_string(module) +
         " instead of " + std::to_string(kModuleNumber));
  }
}

std::optional<CScriptedHost::Step> CScriptedHost::TakeStep() {
  if (m_script.empty()) return std::nullopt;
  Step step = std::move(m_script.front());
  m_script.pop_front();
  return step;
}

// ---- Dialog ----

int ZANTEL_STDCALL CScriptedHost::DialogService(int module, int x1, int y1, int x2, int y2,
                                                const char* helpTopic, FarDialogItem* items,
                                                int count) {
  CScriptedHost* host = Current();
  if (!host) return -1;
  host->CheckModule(module, "Dialog");
  return host->ShowDialog(helpTopic, x1, y1, x2, y2, items, count);
}

int CScriptedHost::ShowDialog(const char* helpTopic, int x1, int y1, int x2, int y2,
                              FarDialogItem* items, int count) {
  std::vector<std::string> problems;
  ShownDialog shown = ReadDialog(helpTopic, x1, y1, x2, y2, items, count, problems);
  const size_t index = m_dialogs.size();
  m_dialogs.push_back(shown);
  int result = -1;
  std::optional<Step> step = m_ui ? std::nullopt : TakeStep();
  if (!problems.empty()) {
    std::string text = "malformed dialog records:";
    for (const std::string& problem : problems) text += "\n  " + problem;
    Fail(text + "\n" + Describe(shown));
  } else if (m_ui) {
    result = m_ui->Dialog(shown, items, count);
  } else if (!step) {
    Fail("nothing scripted for " + Describe(shown));
  } else if (auto* answer = std::get_if<CDialogAnswer>(&*step);
             !answer || answer->m_helpTopic != shown.helpTopic) {
    Fail(Account(DescribeStep(*step), Describe(shown)));
  } else {
    result = AnswerDialogWith(*answer, shown, items);
  }
  m_dialogs[index].result = result;
  m_log.push_back("dialog \"" + shown.helpTopic + "\" -> " + std::to_string(result));
  return result;
}

int CScriptedHost::AnswerDialogWith(CDialogAnswer& answer, const ShownDialog& shown,
                                    FarDialogItem* items) {
  for (const CDialogAnswer::Input& input : answer.m_inputs) {
    if (!ApplyInput(input, shown, items)) return -1;
  }
  if (answer.m_hook) answer.m_hook();
  const int count = static_cast<int>(shown.items.size());
  switch (answer.m_exit) {
    case CDialogAnswer::Exit::Escape: return -1;
    case CDialogAnswer::Exit::Enter:
      for (int i = 0; i < count; ++i) {
        if (shown.items[static_cast<size_t>(i)].defaultButton) return i;
      }
      Fail(Account(answer.Describe(), "no default button in " + Describe(shown)));
      return -1;
    case CDialogAnswer::Exit::Item:
      if (answer.m_closeItem >= 0 && answer.m_closeItem < count) return answer.m_closeItem;
      break;
    case CDialogAnswer::Exit::Unset: break;
  }
  Fail(Account(answer.Describe(), "no such item in " + Describe(shown)));
  return -1;
}

bool CScriptedHost::ApplyInput(const CDialogAnswer::Input& input, const ShownDialog& shown,
                               FarDialogItem* items) {
  const int count = static_cast<int>(shown.items.size());
  if (input.item < 0 || input.item >= count) {
    Fail("the script names item " + std::to_string(input.item) + " of " + Describe(shown));
    return false;
  }
  FarDialogItem& item = items[input.item];
  if (input.text && IsEditItem(item)) {
    WriteEditText(item, *input.text);
  } else if (!input.text && item.Type == DI_CHECKBOX) {
    item.Selected = input.state;
  } else if (!input.text && item.Type == DI_RADIOBUTTON) {
    SelectRadioButton(items, count, input.item);
  } else {
    Fail("the script cannot " + std::string(input.text ? "type into" : "select") + " item " +
         std::to_string(input.item) + " of " + Describe(shown));
    return false;
  }
  return true;
}

// ---- Menu ----

int ZANTEL_STDCALL CScriptedHost::MenuService(int module, int x, int y, int maxHeight,
                                              FarDword flags, const char* title, const char* bottom,
                                              const char* helpTopic, const int* breakKeys,
                                              int* breakCode, const FarMenuItem* items, int count) {
  CScriptedHost* host = Current();
  if (!host) return -1;
  host->CheckModule(module, "Menu");
  std::vector<std::string> problems;
  ShownMenu shown = ReadMenu(title, bottom, helpTopic, flags, breakKeys, items, count, problems);
  shown.x = x;
  shown.y = y;
  shown.maxHeight = maxHeight;
  if (!problems.empty()) {
    std::string text = "malformed menu records:";
    for (const std::string& problem : problems) text += "\n  " + problem;
    host->Fail(text + "\n" + Describe(shown));
  }
  return host->ShowMenu(std::move(shown), breakCode);
}

int CScriptedHost::ShowMenu(ShownMenu shown, int* breakCode) {
  int code = -1;
  int result = -1;
  if (m_ui) {
    result = m_ui->Menu(shown, code);
  } else if (std::optional<Step> step = TakeStep(); !step) {
    Fail("nothing scripted for " + Describe(shown));
  } else if (auto* answer = std::get_if<CMenuAnswer>(&*step);
             !answer || answer->m_helpTopic != shown.helpTopic) {
    Fail(Account(DescribeStep(*step), Describe(shown)));
  } else {
    result = AnswerMenuWith(*answer, shown, code);
  }
  if (breakCode) *breakCode = code;
  shown.result = result;
  shown.breakCode = code;
  m_log.push_back("menu \"" + shown.helpTopic + "\" -> " + std::to_string(result) +
                  (code >= 0 ? " break " + std::to_string(code) : ""));
  m_menus.push_back(std::move(shown));
  return result;
}

int CScriptedHost::AnswerMenuWith(CMenuAnswer& answer, const ShownMenu& shown, int& breakCode) {
  if (answer.m_hook) answer.m_hook();
  const int count = static_cast<int>(shown.items.size());
  switch (answer.m_exit) {
    case CMenuAnswer::Exit::Escape: return -1;
    case CMenuAnswer::Exit::Choose:
      if (answer.m_index >= 0 && answer.m_index < count &&
          IsSelectable(shown.items[static_cast<size_t>(answer.m_index)])) {
        return answer.m_index;
      }
      Fail(Account(answer.Describe(), "no item to choose there in " + Describe(shown)));
      return -1;
    case CMenuAnswer::Exit::Key: {
      const int matched = MatchBreakKey(shown.breakKeys, answer.m_key);
      if (matched < 0) {
        Fail(Account(answer.Describe(), "no break key for it in " + Describe(shown)));
        return -1;
      }
      breakCode = matched;
      return answer.m_cursor ? *answer.m_cursor : CursorOf(shown);
    }
    case CMenuAnswer::Exit::Unset: break;
  }
  Fail(Account(answer.Describe(), Describe(shown)));
  return -1;
}

// ---- Message ----

int ZANTEL_STDCALL CScriptedHost::MessageService(int module, FarDword flags, const char* helpTopic,
                                                 const char* const* items, int count, int buttons) {
  CScriptedHost* host = Current();
  if (!host) return -1;
  host->CheckModule(module, "Message");
  std::vector<std::string> problems;
  ShownMessage shown = ReadMessage(flags, helpTopic, items, count, buttons, problems);
  if (flags & FMSG_ERRORTYPE) shown.errorText = Platform::ErrorText(Platform::LastError());
  const size_t index = host->m_messages.size();
  host->m_messages.push_back(shown);
  int result = -1;
  if (!problems.empty()) {
    std::string text = "malformed message box:";
    for (const std::string& problem : problems) text += "\n  " + problem;
    host->Fail(text + "\n" + Describe(shown));
  } else if (host->m_ui) {
    result = host->m_ui->Message(shown);
  } else if (shown.buttons > 0) {
    result = host->AnswerMessageWith(shown);
  }
  host->m_messages[index].result = result;
  host->m_log.push_back("message \"" + shown.helpTopic + "\" -> " +
                        (shown.buttons > 0 ? std::to_string(result) : std::string("stays up")));
  return result;
}

int CScriptedHost::AnswerMessageWith(const ShownMessage& shown) {
  std::optional<CMessageAnswer> answer;
  if (!m_script.empty() && std::holds_alternative<CMessageAnswer>(m_script.front())) {
    answer = std::get<CMessageAnswer>(*TakeStep());
  } else if (m_standingMessageAnswer) {
    answer = m_standingMessageAnswer;
  } else {
    Fail(m_script.empty() ? "nothing scripted for " + Describe(shown)
                          : Account(DescribeStep(m_script.front()), Describe(shown)));
    if (!m_script.empty()) m_script.pop_front();
    return -1;
  }
  if (answer->m_helpTopic && *answer->m_helpTopic != shown.helpTopic) {
    Fail(Account(answer->Describe(), Describe(shown)));
    return -1;
  }
  const int button =
      answer->m_button == CMessageAnswer::kLastButton ? shown.buttons - 1 : answer->m_button;
  if (button < -1 || button >= shown.buttons) {
    Fail(Account(answer->Describe(), "no such button in " + Describe(shown)));
    return -1;
  }
  if (answer->m_hook) answer->m_hook();
  return button;
}

// ---- Texts and screens ----

const char* ZANTEL_STDCALL CScriptedHost::GetMsgService(int module, int number) {
  CScriptedHost* host = Current();
  if (!host) return "";
  host->CheckModule(module, "GetMsg");
  return host->MessageText(number);
}

const char* CScriptedHost::MessageText(int number) {
  if (const auto found = m_overrides.find(number); found != m_overrides.end()) return found->second;
  if (const std::string* text = m_catalog.Message(number)) return text->c_str();
  if (m_nameMissingMessages) {
    SetMessageText(number, "message " + std::to_string(number));
    return m_overrides[number];
  }
  Fail("GetMsg asked for message " + std::to_string(number) + ", which the language file" +
       (m_catalog.Language().empty() ? "s do not provide (none loaded)"
                                     : " (" + m_catalog.Language() + ") does not have"));
  return "";
}

FarHandle ZANTEL_STDCALL CScriptedHost::SaveScreenService(int x1, int y1, int x2, int y2) {
  CScriptedHost* host = Current();
  if (!host) return nullptr;
  const uintptr_t screen = ++host->m_lastScreen;
  host->m_openScreens.insert(screen);
  host->m_log.push_back("save screen " + std::to_string(screen) + " (" + std::to_string(x1) + "," +
                        std::to_string(y1) + "," + std::to_string(x2) + "," + std::to_string(y2) +
                        ")");
  if (host->m_ui) host->m_ui->SaveScreen(screen);
  return reinterpret_cast<FarHandle>(screen);
}

void ZANTEL_STDCALL CScriptedHost::RestoreScreenService(FarHandle handle) {
  CScriptedHost* host = Current();
  if (!host) return;
  const auto screen = reinterpret_cast<uintptr_t>(handle);
  if (host->m_ui) host->m_ui->RestoreScreen(screen);
  if (screen == 0) {
    host->m_log.push_back("restore screen (none)");
    return;
  }
  if (host->m_openScreens.erase(screen) == 0) {
    host->Fail("RestoreScreen with handle " + std::to_string(screen) +
               ", which is not a saved screen");
    return;
  }
  host->m_log.push_back("restore screen " + std::to_string(screen));
}

}  // namespace Host
