#pragma once
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "platform/environment.h"

// Sets or removes an environment variable for the life of a test and puts the old value back.
class CScopedEnvironment {
 public:
  CScopedEnvironment(std::string name, const std::optional<std::string>& value)
      : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_saved = old;
    Apply(value);
  }
  ~CScopedEnvironment() { Apply(m_saved); }
  CScopedEnvironment(const CScopedEnvironment&) = delete;
  CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) const {
    if (value) {
      Platform::SetEnvironmentValue(m_name, *value);
    } else {
      Platform::RemoveEnvironmentValue(m_name);
    }
  }

  std::string m_name;
  std::optional<std::string> m_saved;
};
