#pragma once
#include "host/scripted_host.h"

// The scripted host installed as the plug-in's host for one test: whatever the script does not
// expect fails the test, and at the end every scripted answer must have been used and every
// saved screen restored. Carries texts for the messages the lower layers show; other numbers
// read "message N" unless the test sets them or loads language files.
class CFakeHost : public Host::CScriptedHost {
 public:
  CFakeHost();
  ~CFakeHost();
};
