#pragma once
// The functions the host finds in the module by name. Each is a thin thunk under one guard.
#include <cstdint>

#include "farapi/far_api.h"
#include "platform/abi.h"

extern "C" {

void ZANTEL_STDCALL SetStartupInfo(const PluginStartupInfo* info);
void ZANTEL_STDCALL GetPluginInfo(PluginInfo* info);
// Far passes a pointer in `item` for a shortcut or a command line: as wide as one, so that a
// 64-bit build can be given it too.
FarHandle ZANTEL_STDCALL OpenPlugin(int openFrom, intptr_t item);
void ZANTEL_STDCALL GetOpenPluginInfo(FarHandle panel, OpenPluginInfo* info);
int ZANTEL_STDCALL GetFindData(FarHandle panel, PluginPanelItem** items, int* count, int opMode);
void ZANTEL_STDCALL FreeFindData(FarHandle panel, PluginPanelItem* items, int count);
int ZANTEL_STDCALL SetDirectory(FarHandle panel, const char* directory, int opMode);
int ZANTEL_STDCALL GetFiles(FarHandle panel, PluginPanelItem* items, int count, int move,
                            char* destination, int opMode);
int ZANTEL_STDCALL PutFiles(FarHandle panel, PluginPanelItem* items, int count, int move,
                            int opMode);
int ZANTEL_STDCALL ProcessKey(FarHandle panel, int key, unsigned int controlState);
void ZANTEL_STDCALL ClosePlugin(FarHandle panel);
int ZANTEL_STDCALL Configure(int item);
void ZANTEL_STDCALL ExitFAR();

}  // extern "C"
