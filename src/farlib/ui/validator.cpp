#include "farlib/ui/validator.h"

#include <cstdio>

#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"

namespace FarLib {

bool CFarStringValidator::Validate(char* text, size_t room) {
  return m_check ? m_check(text, room, m_userData) : true;
}

CFarIntegerRangeValidator::CFarIntegerRangeValidator(int32_t lower, int32_t upper,
                                                     std::string helpTopic)
    : m_messageFormat(GetMsg(Msg::kOutOfRange)),
      m_helpTopic(std::move(helpTopic)),
      m_lower(lower),
      m_upper(upper),
      m_format(&DecimalFormat()) {}

bool CFarIntegerRangeValidator::Validate(char* text, size_t) {
  int32_t value = 0;
  if (m_format->Read(text, value) && value >= m_lower && value <= m_upper) return true;
  char message[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(message, sizeof message, m_messageFormat.c_str(), m_lower, m_upper);
#pragma GCC diagnostic pop
  ShowMessage(FMSG_WARNING, m_helpTopic.c_str(), {GetMsg(Msg::kTitle), message, GetMsg(Msg::kOk)},
              1);
  return false;
}

}  // namespace FarLib
