#include "host_root_key.h"

#include "host/scripted_host.h"

std::string TestHostRootKey() { return Host::CScriptedHost::kRootKey; }

void ForgetTestHostRootKey() {}
