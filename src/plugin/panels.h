#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "link/connection.h"
#include "link/io_error.h"
#include "phonebook/device_cache.h"
#include "phonebook/export_options.h"
#include "phonebook/phone_book_session.h"
#include "phonebook/phone_book_storage.h"
#include "settings/model_profile.h"
#include "sms/message_stores.h"

// The panel object behind every open plug-in panel: one connected phone, shown either as its
// phone book or as its message stores. Both views share one phone state and one connection
// through virtual inheritance, so switching between them never reconnects. The host's exports
// reach the operations named after them.

// The shared phone state. Constructing it runs the start-up handshake.
class CGenericMobilePanel {
 public:
  CGenericMobilePanel(const CGenericMobilePanel&) = delete;
  CGenericMobilePanel& operator=(const CGenericMobilePanel&) = delete;

  virtual void GetOpenPluginInfo(OpenPluginInfo& info);
  virtual int GetFindData(PluginPanelItem** items, int* count, int opMode) = 0;
  // Frees what any view's GetFindData handed out, as FarLib::FreePanelItems does.
  void FreeFindData(PluginPanelItem* items, int count);
  virtual int SetDirectory(const char* directory, int opMode) = 0;
  // `options` say how phone-book entries are written; messages have one form of their own.
  virtual int GetFiles(PluginPanelItem* items, int count, int move, char* destination, int opMode,
                       const ExportOptions& options) = 0;
  virtual int PutFiles(PluginPanelItem* items, int count, int move, int opMode) = 0;
  virtual int ProcessKey(int key, unsigned int controlState) = 0;
  // The close hook, run before the panel is destroyed.
  virtual void ClosePlugin();

  // How one view reaches the other without knowing the panel that holds both: SetActiveView
  // switches the view and shows it, keeping the selection; CreateEntryIn is the phone-book
  // view's (see CPhoneMobilePanel).
  virtual void SetActiveView(bool phoneView) = 0;
  virtual bool CreateEntryIn(size_t position, const std::string& number) = 0;
  // What the views believe the phone has selected is forgotten: a command the plug-in did not
  // send itself may have selected something else.
  virtual void ForgetPhoneSelection() { m_selectedBook.clear(); }

  FarHandle HostHandle() const { return m_hostHandle; }
  CConnection& Connection() const { return *m_connection; }
  const ModelProfile* Profile() const { return m_profile; }
  const std::string& Identity() const { return m_identity; }
  const std::vector<std::string>& Charsets() const { return m_charsets; }
  const std::vector<std::unique_ptr<PhoneBookStorage>>& Storages() const { return m_storages; }
  // Sets the host panel's view mode, sort mode and sort order, in this order.
  void ApplyPanelModes(int viewMode, int sortMode, int sortOrder);

 protected:
  // Only the most-derived panel constructs the shared state, with the connection; the views
  // name no constructor of it, as C++ lets only the most-derived class initialise a virtual
  // base.
  CGenericMobilePanel() = default;
  explicit CGenericMobilePanel(std::unique_ptr<CConnection> connection);
  virtual ~CGenericMobilePanel();

  // The phone's tools, which the functions menus of both views offer.
  enum class PhoneTool { Terminal, Clock, CapabilityLog };
  // A tool whose link breaks says so and leaves the menu it was started from standing.
  void RunPhoneTool(PhoneTool tool);

  FarHandle m_hostHandle = nullptr;
  std::unique_ptr<CConnection> m_connection;
  ModelProfile* m_profile = nullptr;
  std::string m_identity;
  std::vector<std::string> m_charsets;
  std::vector<std::unique_ptr<PhoneBookStorage>> m_storages;
  std::string m_currentDirectory;
  CDeviceCache m_cache;
  // The phone-book storage the plug-in selected last (see PhoneBookSession).
  std::string m_selectedBook;

 private:
  // What GetOpenPluginInfo hands out must outlive the call.
  std::array<InfoPanelLine, 2> m_infoLines{};
};

// The phone-book view: the phone's storages as folders at the root, their entries as files.
class CPhoneMobilePanel : public virtual CGenericMobilePanel {
 public:
  void GetOpenPluginInfo(OpenPluginInfo& info) override;
  int GetFindData(PluginPanelItem** items, int* count, int opMode) override;
  int SetDirectory(const char* directory, int opMode) override;
  int GetFiles(PluginPanelItem* items, int count, int move, char* destination, int opMode,
               const ExportOptions& options) override;
  int PutFiles(PluginPanelItem* items, int count, int move, int opMode) override;
  int ProcessKey(int key, unsigned int controlState) override;
  void ClosePlugin() override;

  // Makes storage `position` the one this view shows and opens the entry-creation dialog there
  // with `number` and no name, as Shift+F4 does inside it. Whether the phone took an entry; a
  // storage that cannot be changed gets none.
  bool CreateEntryIn(size_t position, const std::string& number) override;

 protected:
  CPhoneMobilePanel() = default;

  PhoneBookSession Session();
  // The storage whose folder the panel shows; null at the root.
  PhoneBookStorage* CurrentStorage() const;

 private:
  void ListStorages(PluginPanelItem** items, int* count);
  void ListEntries(PhoneBookStorage& storage, PluginPanelItem** items, int* count);
  void EnterRoot();
  // The host's view of the storage being left becomes the storage's, in the cache too.
  void StoreView(PhoneBookStorage& storage);
  void RereadMenu(PhoneBookStorage& storage);
  void RereadSelected(PhoneBookStorage& storage);
  bool StorageKey(PhoneBookStorage& storage, int key, unsigned int controlState);
  // The panel shows the storage's list as it is now, without reading it from the phone: after a
  // link that failed while an operation read it, reading it again would only fail once more.
  void ShowListAsIs();

  // GetFiles inside a storage: one file holding the given entries.
  int ExportEntries(PhoneBookStorage& storage, PluginPanelItem* items, int count,
                    const std::string& destination, const ExportOptions& options);
  // GetFiles at the root: one file per given storage with all its entries.
  int ExportStorages(PluginPanelItem* items, int count, const std::string& destination,
                     const ExportOptions& options);
  // Writes the entries at `positions` into the export file that `destination` and `fileName`
  // name; false when no file was written.
  bool WriteExportFile(const PhoneBookStorage& storage, const std::vector<size_t>& positions,
                       const std::string& destination, const std::string& fileName,
                       const ExportOptions& options);
  // F5 and Shift+F5 (`currentOnly`): the destination and format, then the export. False leaves
  // the key to the host.
  bool CopyDialog(bool currentOnly);
  // Alt+F5 and Alt+F6: copying or moving the selected entries into another storage.
  void CopyToStorage(PhoneBookStorage& storage, bool move);
  // F6: a new index for the entry under the cursor.
  void MoveDialog(PhoneBookStorage& storage);
  // PutFiles: entries from each file, the files deleted after a move only when every entry they
  // held arrived.
  int ImportFiles(PluginPanelItem* items, int count, bool move);
  // F2.
  void FunctionsMenu();
  void CharsetMenu();

  int m_currentStorage = -1;
  int m_functionsPosition = 0;
  bool m_listAsIs = false;
};

// The message-store view: one folder per kind of status at the root, the messages inside.
class CSMSMobilePanel : public virtual CGenericMobilePanel {
 public:
  void GetOpenPluginInfo(OpenPluginInfo& info) override;
  int GetFindData(PluginPanelItem** items, int* count, int opMode) override;
  int SetDirectory(const char* directory, int opMode) override;
  int GetFiles(PluginPanelItem* items, int count, int move, char* destination, int opMode,
               const ExportOptions& options) override;
  int PutFiles(PluginPanelItem* items, int count, int move, int opMode) override;
  int ProcessKey(int key, unsigned int controlState) override;
  // A deletion then selects the message's own storage again.
  void ForgetPhoneSelection() override {
    CGenericMobilePanel::ForgetPhoneSelection();
    m_stores.ForgetSelectedInPhone();
  }

  // Discovery and the first listing: when the panel opens in this view or switches to it.
  void PrepareView();

 protected:
  // Reads the storage choice the phone's key remembers.
  CSMSMobilePanel();

  SMSSession Session();
  // The message under the cursor inside a folder; null on ".." and at the root.
  CSMSMessage* CurrentMessage();
  // Writes the storage choice of the first parameter as "ReadSMSStorage".
  void SaveStorageChoice();

 private:
  // Commands of the view.
  void DeleteMessages(bool currentOnly);
  DeletionOutcome DeleteOne(size_t position);
  void StoragesMenu();
  void SMSStorageMenu(int parameter);
  // F2.
  void FunctionsMenu();
  // F5.
  void CopyDialog();
  void ViewCurrent(bool detail);
  void AddSenderToPhoneBook(CSMSMessage& message);

  // Composing: a new message (to `destination`, or the last one's destinations and text when
  // empty), and the stored message under the cursor edited and sent again.
  void NewMessage(const std::string& destination);
  void ResendCurrent();

  CMessageStores m_stores;
  int32_t m_currentFolder = -1;
  int m_functionsPosition = 0;
};

// The object the host holds: forwards every operation to the active view.
class CMobilePanel final : public virtual CPhoneMobilePanel, public virtual CSMSMobilePanel {
 public:
  CMobilePanel(std::unique_ptr<CConnection> connection, bool phoneView);
  ~CMobilePanel() override = default;

  void GetOpenPluginInfo(OpenPluginInfo& info) override;
  int GetFindData(PluginPanelItem** items, int* count, int opMode) override;
  int SetDirectory(const char* directory, int opMode) override;
  int GetFiles(PluginPanelItem* items, int count, int move, char* destination, int opMode,
               const ExportOptions& options) override;
  int PutFiles(PluginPanelItem* items, int count, int move, int opMode) override;
  int ProcessKey(int key, unsigned int controlState) override;
  void ClosePlugin() override;

  bool PhoneViewActive() const { return m_phoneView; }
  void SetActiveView(bool phoneView) override;

 private:
  bool m_phoneView;
};

// Asks the host to read the items again, clearing the selection or keeping it: with
// FCTL_UPDATEPANEL the items of `panel`, with FCTL_UPDATEANOTHERPANEL those of the other panel.
void UpdatePanel(FarHandle panel, int updateCommand, bool keepSelection);

// Asks the host to read the panel's items again (clearing the selection or keeping it) and to
// redraw it.
void RefreshPanel(FarHandle panel, bool keepSelection);

// Runs `step`, which may fill again the lists the panel shows. A link that fails part-way leaves
// them partly filled: the panel is then shown afresh from them, its selection cleared, before
// the failure goes on to be reported. So no item on the screen stands by its position (nor a
// selection by its name) for another message or entry, and the keys after the box act on what
// the user sees.
template <typename Step>
void RefreshingOnLinkFailure(FarHandle panel, Step&& step) {
  RefreshingOnLinkFailure(step, [panel] { RefreshPanel(panel, false); });
}

// The same with a refresh of the caller's own.
template <typename Step, typename Refresh>
void RefreshingOnLinkFailure(Step&& step, Refresh&& refresh) {
  try {
    step();
  } catch (const io_error&) {
    refresh();
    throw;
  }
}
