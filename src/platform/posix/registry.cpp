#include "platform/registry.h"

#include <optional>
#include <utility>

#include "platform/error.h"
#include "platform/posix/registry_store.h"

// The keys, the transaction scopes and the store they share are used unguarded: the plug-in
// runs on the host's one thread.

namespace Platform {

struct CRegKey::Impl {
  std::shared_ptr<Posix::CRegistryStore> Store;
  int64_t Id = 0;
};

struct CRegTransaction::Impl {
  std::shared_ptr<Posix::CRegistryStore> Store;
  std::optional<uint32_t> Outcome;  // set once the scope has ended
};

namespace {

using Posix::CRegistryStore;

// The registry limits a key name to 255 characters and has no empty names inside a path.
constexpr size_t kMaxKeyNameLength = 255;

// The names of a path; none for an empty path (the root itself), nullopt for a malformed one.
std::optional<std::vector<std::string>> SplitPath(const std::string& path) {
  std::vector<std::string> names;
  if (path.empty()) return names;
  size_t start = 0;
  for (;;) {
    const size_t end = path.find('\\', start);
    std::string name = path.substr(start, end == std::string::npos ? end : end - start);
    if (name.empty() || name.size() > kMaxKeyNameLength || name.find('\0') != std::string::npos) {
      return std::nullopt;
    }
    names.push_back(std::move(name));
    if (end == std::string::npos) return names;
    start = end + 1;
  }
}

// Value names end at their first zero, as the C strings the registry takes do.
std::string ValueName(const std::string& name) { return name.substr(0, name.find('\0')); }

std::optional<int64_t> Walk(CRegistryStore& store, const std::vector<std::string>& names,
                            bool create) {
  int64_t key = CRegistryStore::kRootKey;
  for (const std::string& name : names) {
    const std::optional<int64_t> next =
        create ? store.CreateKey(key, name) : store.FindKey(key, name);
    if (!next) return std::nullopt;
    key = *next;
  }
  return key;
}

}  // namespace

CRegKey::CRegKey() = default;
CRegKey::CRegKey(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
CRegKey::~CRegKey() = default;
CRegKey::CRegKey(CRegKey&& other) noexcept = default;
CRegKey& CRegKey::operator=(CRegKey&& other) noexcept = default;

CRegKey CRegKey::Create(const std::string& path) {
  const std::optional<std::vector<std::string>> names = SplitPath(path);
  if (!names) {
    SetLastError(kErrorInvalidName);
    return CRegKey();
  }
  std::shared_ptr<CRegistryStore> store = CRegistryStore::Current();
  if (!store) return CRegKey();
  CRegTransaction atomic;  // a path of new keys appears whole or not at all
  const std::optional<int64_t> key = Walk(*store, *names, true);
  if (!key) return CRegKey();
  return CRegKey(std::make_unique<Impl>(Impl{std::move(store), *key}));
}

CRegKey CRegKey::Open(const std::string& path) {
  const std::optional<std::vector<std::string>> names = SplitPath(path);
  std::shared_ptr<CRegistryStore> store = CRegistryStore::Current();
  if (!names || !store) return CRegKey();
  const std::optional<int64_t> key = Walk(*store, *names, false);
  if (!key) return CRegKey();
  return CRegKey(std::make_unique<Impl>(Impl{std::move(store), *key}));
}

bool CRegKey::IsOpen() const { return m_impl != nullptr; }

void CRegKey::Close() { m_impl.reset(); }

uint32_t CRegKey::QueryValue(const std::string& name, RegValue& value) const {
  if (!m_impl) return kErrorInvalidHandle;
  return m_impl->Store->QueryValue(m_impl->Id, ValueName(name), value);
}

uint32_t CRegKey::SetValue(const std::string& name, uint32_t type, std::span<const uint8_t> data) {
  if (!m_impl) return kErrorInvalidHandle;
  return m_impl->Store->SetValue(m_impl->Id, ValueName(name), type,
                                 std::vector<uint8_t>(data.begin(), data.end()));
}

uint32_t CRegKey::WideTextType() { return kRegSz; }

uint32_t CRegKey::QueryWideValue(const std::string& name, RegValue& value) const {
  return QueryValue(name, value);
}

uint32_t CRegKey::SetWideValue(const std::string& name, std::span<const uint8_t> bytes) {
  return SetValue(name, kRegSz, bytes);
}

std::vector<std::string> CRegKey::SubKeyNames() const {
  if (!m_impl) return {};
  return m_impl->Store->SubKeyNames(m_impl->Id);
}

uint32_t CRegKey::DeleteSubtree(const std::string& path) {
  if (!m_impl) return kErrorInvalidHandle;
  const std::optional<std::vector<std::string>> names = SplitPath(path);
  if (!names || names->empty()) return kErrorInvalidParameter;
  CRegTransaction atomic;
  int64_t key = m_impl->Id;
  for (const std::string& name : *names) {
    const std::optional<int64_t> next = m_impl->Store->FindKey(key, name);
    if (!next) return kErrorFileNotFound;
    key = *next;
  }
  return m_impl->Store->DeleteKey(key);
}

CRegTransaction::CRegTransaction() : m_impl(std::make_unique<Impl>()) {
  m_impl->Store = Posix::CRegistryStore::Current();
  if (m_impl->Store) m_impl->Store->Begin();
}

CRegTransaction::~CRegTransaction() { Commit(); }

bool CRegTransaction::Commit() {
  if (!m_impl->Outcome) {
    // Without a store every change fails on its own, each with its reason.
    m_impl->Outcome = m_impl->Store ? m_impl->Store->End() : kErrorSuccess;
  }
  if (*m_impl->Outcome == kErrorSuccess) return true;
  SetLastError(*m_impl->Outcome);
  return false;
}

}  // namespace Platform
