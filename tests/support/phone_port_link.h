#pragma once
#include <string>

// Where a phone simulator's terminal must appear for the plug-in to find it as COMn: the
// path for zantel-phonesim --link. Each system has its own way (tests/support/posix and
// tests/support/win32). `scratchFolder` is the simulator's own folder (a path of this
// program). Empty with `failure` set when the port cannot be given to a simulator.
std::string PreparePhonePortLink(int port, const std::string& scratchFolder, std::string& failure);
// Undoes what PreparePhonePortLink changed in this process.
void ReleasePhonePortLink(int port);

// The COM port this test's phone simulator serves and the plug-in opens: natively any port
// will do (1); under Wine the one ctest handed to the test (see tests/support/win32).
int TestPhonePort();

// The native zantel-phonesim program, as this program starts it (empty when unknown).
std::string PhoneSimulatorProgram();
