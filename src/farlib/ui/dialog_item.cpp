#include "farlib/ui/dialog_item.h"

#include <algorithm>
#include <cstring>

namespace FarLib {

CFarDialogItem::CFarDialogItem(int left, int top, int right, int bottom, FarDword flags,
                               std::string text)
    : m_left(left),
      m_top(top),
      m_right(right),
      m_bottom(bottom),
      m_flags(flags),
      m_text(std::move(text)) {}

void CFarDialogItem::FillCommon(FarDialogItem& record, int type) const {
  record = FarDialogItem{};
  record.Type = type;
  record.X1 = m_left;
  record.Y1 = m_top;
  record.X2 = m_right;
  record.Y2 = m_bottom;
  record.Flags = m_flags;
  const size_t length = std::min(m_text.size(), sizeof record.Data - 1);
  std::memcpy(record.Data, m_text.data(), length);
  record.Data[length] = '\0';
}

void CFarDialogItem::Fill(FarDialogItem& record) { FillCommon(record, DI_TEXT); }

bool CFarDialogItem::Check(FarDialogItem&, std::span<const FarDialogItem>) { return true; }

void CFarDialogItem::Store(const FarDialogItem&) {}

CFarTextItem::CFarTextItem(int left, int top, FarDword flags, std::string text)
    : CFarDialogItem(left, top, 0, 0, flags, std::move(text)) {}

void CFarTextItem::Fill(FarDialogItem& record) { FillCommon(record, DI_TEXT); }

CFarBoxItem::CFarBoxItem(bool isDouble, int left, int top, int right, int bottom, FarDword flags,
                         std::string text)
    : CFarDialogItem(left, top, right, bottom, flags, std::move(text)), m_double(isDouble) {}

void CFarBoxItem::Fill(FarDialogItem& record) {
  FillCommon(record, m_double ? DI_DOUBLEBOX : DI_SINGLEBOX);
}

CFarButtonItem::CFarButtonItem(int left, int top, FarDword flags, bool isDefault, std::string text)
    : CFarDialogItem(left, top, 0, 0, flags, std::move(text)), m_default(isDefault) {}

void CFarButtonItem::Fill(FarDialogItem& record) {
  FillCommon(record, DI_BUTTON);
  record.DefaultButton = m_default ? 1 : 0;
}

CFarCheckBoxItem::CFarCheckBoxItem(int left, int top, FarDword flags, std::string text, bool& value)
    : CFarDialogItem(left, top, 0, 0, flags, std::move(text)), m_value(&value) {}

CFarCheckBoxItem::CFarCheckBoxItem(int left, int top, FarDword flags, std::string text,
                                   const CFarIntegerStorage& storage, FarDword mask)
    : CFarDialogItem(left, top, 0, 0, flags, std::move(text)), m_bits(storage), m_mask(mask) {}

void CFarCheckBoxItem::Fill(FarDialogItem& record) {
  FillCommon(record, DI_CHECKBOX);
  if (m_bits) record.Selected = (static_cast<FarDword>(m_bits->GetValue()) & m_mask) != 0 ? 1 : 0;
  else record.Selected = *m_value ? 1 : 0;
}

void CFarCheckBoxItem::Store(const FarDialogItem& record) {
  if (!m_bits) {
    *m_value = record.Selected != 0;
    return;
  }
  const auto bits = static_cast<FarDword>(m_bits->GetValue());
  m_bits->SetValue(static_cast<int32_t>(record.Selected ? bits | m_mask : bits & ~m_mask));
}

CFarRadioButtonItem::CFarRadioButtonItem(int left, int top, FarDword flags, std::string text,
                                         const CFarIntegerStorage& storage, int32_t value)
    : CFarDialogItem(left, top, 0, 0, flags, std::move(text)), m_storage(storage), m_value(value) {}

void CFarRadioButtonItem::Fill(FarDialogItem& record) {
  FillCommon(record, DI_RADIOBUTTON);
  record.Selected = m_storage.GetValue() == m_value ? 1 : 0;
}

void CFarRadioButtonItem::Store(const FarDialogItem& record) {
  if (record.Selected) m_storage.SetValue(m_value);
}

CFarEditItem::CFarEditItem(int left, int top, int right, FarDword flags, std::string history,
                           const CFarStorage& storage, std::unique_ptr<CFarValidator> validator,
                           int editType)
    : CFarDialogItem(left, top, right, 0, flags, {}),
      m_history(std::move(history)),
      m_storage(storage.Clone()),
      m_validator(std::move(validator)),
      m_editType(editType) {}

void CFarEditItem::Fill(FarDialogItem& record) {
  FillCommon(record, m_editType);
  if (!m_history.empty()) {
    record.History = m_history.c_str();
    record.Flags |= DIF_HISTORY;
  }
  if (Flags() & DIF_VAREDIT) {
    m_buffer.assign(kVariableBufferSize, '\0');
    record.Ptr.PtrFlags = 0;
    record.Ptr.PtrLength = static_cast<int>(m_buffer.size());
    record.Ptr.PtrData = m_buffer.data();
  }
  m_storage->GetText(TextRoom(record));
}

std::span<char> CFarEditItem::TextRoom(FarDialogItem& record) const {
  if (Flags() & DIF_VAREDIT) return {record.Ptr.PtrData, static_cast<size_t>(record.Ptr.PtrLength)};
  return record.Data;
}

bool CFarEditItem::Check(FarDialogItem& record, std::span<const FarDialogItem> records) {
  const std::span<char> room = TextRoom(record);
  // Whatever the host left there, the checks below read a terminated text.
  room.back() = '\0';
  const bool validate = m_validateWhileChecked < 0 ||
                        (static_cast<size_t>(m_validateWhileChecked) < records.size() &&
                         records[static_cast<size_t>(m_validateWhileChecked)].Selected != 0);
  if (m_validator && validate && !m_validator->Validate(room.data(), room.size())) return false;
  return m_storage->CheckText(room.data());
}

void CFarEditItem::Store(const FarDialogItem& record) {
  if (Flags() & DIF_VAREDIT) m_storage->SetText(record.Ptr.PtrData);
  else m_storage->SetText(record.Data);
}

}  // namespace FarLib
