#pragma once

namespace Platform {

// Sets the process's file creation mask for the life of a test and puts the old one back, so
// that a test can show which modes do not depend on it.
class CScopedUmask {
 public:
  explicit CScopedUmask(unsigned mask);
  ~CScopedUmask();
  CScopedUmask(const CScopedUmask&) = delete;
  CScopedUmask& operator=(const CScopedUmask&) = delete;

 private:
  unsigned m_saved;
};

}  // namespace Platform
