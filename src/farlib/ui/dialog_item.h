#pragma once
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "farlib/storage.h"
#include "farlib/ui/validator.h"

// The items a CFarDialog is made of. Each writes itself into the host's item record before
// the dialog is shown, checks the record when the user confirms (seeing the dialog's other
// records as the user left them), and stores the record's value into its variable once every
// item has accepted.
namespace FarLib {

class CFarDialogItem {
 public:
  CFarDialogItem(int left, int top, int right, int bottom, FarDword flags, std::string text);
  virtual ~CFarDialogItem() = default;
  CFarDialogItem(const CFarDialogItem&) = delete;
  CFarDialogItem& operator=(const CFarDialogItem&) = delete;

  virtual void Fill(FarDialogItem& record);
  virtual bool Check(FarDialogItem& record, std::span<const FarDialogItem> records);
  virtual void Store(const FarDialogItem& record);

 protected:
  // The record with everything but the kind-specific parts: position, flags, no focus, not
  // selected, not default, the caption in Data (cut to fit with its terminating zero).
  void FillCommon(FarDialogItem& record, int type) const;
  FarDword Flags() const { return m_flags; }

 private:
  int m_left;
  int m_top;
  int m_right;
  int m_bottom;
  FarDword m_flags;
  // Owned, so that a caption formatted for this dialog cannot go away under it.
  std::string m_text;
};

class CFarTextItem : public CFarDialogItem {
 public:
  CFarTextItem(int left, int top, FarDword flags, std::string text);
  void Fill(FarDialogItem& record) override;
};

class CFarBoxItem : public CFarDialogItem {
 public:
  CFarBoxItem(bool isDouble, int left, int top, int right, int bottom, FarDword flags,
              std::string text);
  void Fill(FarDialogItem& record) override;

 private:
  bool m_double;
};

class CFarButtonItem : public CFarDialogItem {
 public:
  CFarButtonItem(int left, int top, FarDword flags, bool isDefault, std::string text);
  void Fill(FarDialogItem& record) override;

 private:
  bool m_default;
};

class CFarCheckBoxItem : public CFarDialogItem {
 public:
  // Bound to a boolean.
  CFarCheckBoxItem(int left, int top, FarDword flags, std::string text, bool& value);
  // Bound to the `mask` bits of an integer; its other bits are left alone.
  CFarCheckBoxItem(int left, int top, FarDword flags, std::string text,
                   const CFarIntegerStorage& storage, FarDword mask);
  void Fill(FarDialogItem& record) override;
  void Store(const FarDialogItem& record) override;

 private:
  bool* m_value = nullptr;
  std::optional<CFarIntegerStorage> m_bits;
  FarDword m_mask = 0;
};

// One button of a radio group bound to one integer; the group's first button carries DIF_GROUP.
class CFarRadioButtonItem : public CFarDialogItem {
 public:
  CFarRadioButtonItem(int left, int top, FarDword flags, std::string text,
                      const CFarIntegerStorage& storage, int32_t value);
  void Fill(FarDialogItem& record) override;
  void Store(const FarDialogItem& record) override;

 private:
  CFarIntegerStorage m_storage;
  int32_t m_value;
};

class CFarEditItem : public CFarDialogItem {
 public:
  // With DIF_VAREDIT in the flags the text gets a buffer of this size instead of Data.
  static constexpr size_t kVariableBufferSize = 65520;

  // An empty history name means no history.
  CFarEditItem(int left, int top, int right, FarDword flags, std::string history,
               const CFarStorage& storage, std::unique_ptr<CFarValidator> validator = nullptr,
               int editType = DI_EDIT);
  void Fill(FarDialogItem& record) override;
  bool Check(FarDialogItem& record, std::span<const FarDialogItem> records) override;
  void Store(const FarDialogItem& record) override;

  // The validator runs only while the dialog's check box `item` is checked; the text is still
  // stored either way.
  void ValidateWhileChecked(int item) { m_validateWhileChecked = item; }

 private:
  std::span<char> TextRoom(FarDialogItem& record) const;

  std::string m_history;
  std::unique_ptr<CFarStorage> m_storage;
  std::unique_ptr<CFarValidator> m_validator;
  int m_editType;
  int m_validateWhileChecked = -1;
  // Lives as long as the item, so the record may point into it for the whole run.
  std::vector<char> m_buffer;
};

}  // namespace FarLib
