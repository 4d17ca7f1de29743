#pragma once
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

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
      setenv(m_name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(m_name.c_str());
    }
  }

  std::string m_name;
  std::optional<std::string> m_saved;
};
