#pragma once
#include <string>
#include <utility>

#include "platform/clock.h"
#include "sms/sms_message.h"

// When the sample messages were sent: 2005-03-12 16:16:41 UTC.
constexpr Platform::FileTime kSampleSentAt = 127551178010000000;

// A decoded message as the rendering sees it: received ones carry the sample time.
inline CSMSMessage SampleMessage(bool received, std::string address, std::string text = "Hello") {
  CSMSMessage message(received, "", 128);
  message.address = std::move(address);
  message.text = std::move(text);
  if (received) message.timestamp = kSampleSentAt;
  return message;
}
