#pragma once
#include <string>

// What a long operation on the phone (a listing, the handshake) shows while it runs: one line
// that says how far it has come. The plug-in shows it in a box without buttons.
class CProgress {
 public:
  virtual ~CProgress() = default;
  // Shows `text` in place of what the last call showed.
  virtual void Show(const std::string& text) = 0;
  // Takes the box away and brings back the screen it covered; nothing when none is shown.
  virtual void Hide() = 0;
};

// Progress for the length of a scope: the box goes at its end, whether the operation ends
// normally or the link fails under it.
class CProgressScope {
 public:
  explicit CProgressScope(CProgress& progress) : m_progress(progress) {}
  ~CProgressScope() { m_progress.Hide(); }
  CProgressScope(const CProgressScope&) = delete;
  CProgressScope& operator=(const CProgressScope&) = delete;

  void Show(const std::string& text) { m_progress.Show(text); }

 private:
  CProgress& m_progress;
};
