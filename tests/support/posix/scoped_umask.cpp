#include "posix/scoped_umask.h"

#include <sys/stat.h>

namespace Platform {

CScopedUmask::CScopedUmask(unsigned mask) : m_saved(umask(static_cast<mode_t>(mask))) {}

CScopedUmask::~CScopedUmask() { umask(static_cast<mode_t>(m_saved)); }

}  // namespace Platform
