#pragma once
// Our declarations of the records and services of the Far Manager 1.70 plug-in interface.
// Member names and order are the host's; the layouts are pinned by the checks at the end.
#include <cstddef>
#include <type_traits>

#include "farapi/far_constants.h"
#include "farapi/far_types.h"
#include "platform/abi.h"

// Only ever reached through a pointer: the services that take them are not used.
struct FarStandardFunctions;
struct FarCharInfo;

// A service this plug-in never calls; only its size and place in PluginStartupInfo matter.
using FarOpaqueService = void(ZANTEL_STDCALL*)();

#if ZANTEL_FAR_PACK2
#pragma pack(push, 2)
#endif

struct FarFileTime {
  FarDword dwLowDateTime;
  FarDword dwHighDateTime;
};

struct FarRect {
  FarLong left;
  FarLong top;
  FarLong right;
  FarLong bottom;
};

// Declared inside the packed region on purpose: the SDK's WIN32_FIND_DATAA, when <windows.h>
// came first, is 2 bytes longer and shifts every later PluginPanelItem member.
struct FAR_FIND_DATA {
  FarDword dwFileAttributes;
  FarFileTime ftCreationTime;
  FarFileTime ftLastAccessTime;
  FarFileTime ftLastWriteTime;
  FarDword nFileSizeHigh;
  FarDword nFileSizeLow;
  FarDword dwReserved0;
  FarDword dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};

struct PluginPanelItem {
  FAR_FIND_DATA FindData;
  FarDword PackSizeHigh;
  FarDword PackSize;
  FarDword Flags;
  FarDword NumberOfLinks;
  char* Description;
  char* Owner;
  char** CustomColumnData;
  int CustomColumnNumber;
  // 32 bits in 1.70, so it can carry an index or a key but never a pointer on 64-bit.
  FarDword UserData;
  FarDword CRC32;
  FarDword Reserved[2];
};

struct PanelInfo {
  int PanelType;
  int Plugin;
  FarRect PanelRect;
  PluginPanelItem* PanelItems;
  int ItemsNumber;
  PluginPanelItem* SelectedItems;
  int SelectedItemsNumber;
  int CurrentItem;
  int TopPanelItem;
  int Visible;
  int Focus;
  int ViewMode;
  char ColumnTypes[80];
  char ColumnWidths[80];
  char CurDir[NM];
  int ShortNames;
  int SortMode;
  FarDword Flags;
  FarDword Reserved;
};

struct PanelRedrawInfo {
  int CurrentItem;
  int TopPanelItem;
};

struct FarListItem {
  FarDword Flags;
  char Text[128];
  FarDword Reserved[3];
};

struct FarList {
  int ItemsNumber;
  FarListItem* Items;
};

// The DIF_VAREDIT form of FarDialogItem's text: the host then ignores Data and copies the edit's
// text into the caller's PtrData buffer of PtrLength bytes. PtrTail only names the rest of Data.
struct FarDialogItemPtr {
  FarDword PtrFlags;
  int PtrLength;
  char* PtrData;
  char PtrTail[1];
};

struct FarDialogItem {
  int Type;
  int X1;
  int Y1;
  int X2;
  int Y2;
  int Focus;
  union {
    int Selected;
    const char* History;
    const char* Mask;
    FarList* ListItems;
    int ListPos;
    FarCharInfo* VBuf;
  };
  FarDword Flags;
  int DefaultButton;
  union {
    char Data[512];
    FarDialogItemPtr Ptr;
  };
};

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct InfoPanelLine {
  char Text[80];
  char Data[80];
  int Separator;
};

struct PanelMode {
  char* ColumnTypes;
  char* ColumnWidths;
  char** ColumnTitles;
  int FullScreen;
  int DetailedStatus;
  int AlignExtensions;
  int CaseConversion;
  char* StatusColumnTypes;
  char* StatusColumnWidths;
  FarDword Reserved[2];
};

// Index 0..11 of each array is F1..F12; a null entry keeps the host's own label.
struct KeyBarTitles {
  char* Titles[12];
  char* CtrlTitles[12];
  char* AltTitles[12];
  char* ShiftTitles[12];
  char* CtrlShiftTitles[12];
  char* AltShiftTitles[12];
  char* CtrlAltTitles[12];
};

struct PluginInfo {
  int StructSize;
  FarDword Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
  FarDword Reserved;
};

struct OpenPluginInfo {
  int StructSize;
  FarDword Flags;
  const char* HostFile;
  const char* CurDir;
  const char* Format;
  const char* PanelTitle;
  const InfoPanelLine* InfoLines;
  int InfoLinesNumber;
  const char* const* DescrFiles;
  int DescrFilesNumber;
  const PanelMode* PanelModesArray;
  int PanelModesNumber;
  int StartPanelMode;
  int StartSortMode;
  int StartSortOrder;
  const KeyBarTitles* KeyBar;
  const char* ShortcutData;
  // Spelt as the 1.70 host spells it; a 32-bit `long` there, so FarLong here.
  FarLong Reserverd;
};

using FARAPIMENU = int(ZANTEL_STDCALL*)(int PluginNumber, int X, int Y, int MaxHeight,
                                        FarDword Flags, const char* Title, const char* Bottom,
                                        const char* HelpTopic, const int* BreakKeys, int* BreakCode,
                                        const FarMenuItem* Item, int ItemsNumber);
using FARAPIDIALOG = int(ZANTEL_STDCALL*)(int PluginNumber, int X1, int Y1, int X2, int Y2,
                                          const char* HelpTopic, FarDialogItem* Item,
                                          int ItemsNumber);
using FARAPIMESSAGE = int(ZANTEL_STDCALL*)(int PluginNumber, FarDword Flags, const char* HelpTopic,
                                           const char* const* Items, int ItemsNumber,
                                           int ButtonsNumber);
using FARAPIGETMSG = const char*(ZANTEL_STDCALL*)(int PluginNumber, int MsgId);
using FARAPICONTROL = int(ZANTEL_STDCALL*)(FarHandle hPlugin, int Command, void* Param);
using FARAPISAVESCREEN = FarHandle(ZANTEL_STDCALL*)(int X1, int Y1, int X2, int Y2);
using FARAPIRESTORESCREEN = void(ZANTEL_STDCALL*)(FarHandle hScreen);

// Valid only during SetStartupInfo: the plug-in keeps a copy, never the pointer.
struct PluginStartupInfo {
  int StructSize;
  char ModuleName[NM];
  int ModuleNumber;
  const char* RootKey;
  FARAPIMENU Menu;
  FARAPIDIALOG Dialog;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPICONTROL Control;
  FARAPISAVESCREEN SaveScreen;
  FARAPIRESTORESCREEN RestoreScreen;
  FarOpaqueService GetDirList;
  FarOpaqueService GetPluginDirList;
  FarOpaqueService FreeDirList;
  FarOpaqueService Viewer;
  FarOpaqueService Editor;
  FarOpaqueService CmpName;
  FarOpaqueService CharTable;
  FarOpaqueService Text;
  FarOpaqueService EditorControl;
  FarStandardFunctions* FSF;
  FarOpaqueService ShowHelp;
  FarOpaqueService AdvControl;
  FarOpaqueService InputBox;
  FarOpaqueService DialogEx;
  FarOpaqueService SendDlgMessage;
  FarOpaqueService DefDlgProc;
  FarDword Reserved;
  FarOpaqueService ViewerControl;
};

#if ZANTEL_FAR_PACK2
#pragma pack(pop)
#endif

// The layouts these records are checked against: the host's own (32-bit, 2-byte packed) and the
// natural one a 64-bit build of the same declarations gets. Other targets have no reference.
enum class FarLayout { Packed32, Natural64, Unlisted };

constexpr FarLayout kFarLayout = ZANTEL_FAR_PACK2     ? FarLayout::Packed32
                                 : sizeof(void*) == 8 ? FarLayout::Natural64
                                                      : FarLayout::Unlisted;

constexpr bool FarLayoutMatches(std::size_t actual, std::size_t packed32, std::size_t natural64) {
  switch (kFarLayout) {
    case FarLayout::Packed32: return actual == packed32;
    case FarLayout::Natural64: return actual == natural64;
    case FarLayout::Unlisted: break;
  }
  return true;
}

static_assert(FarLayoutMatches(sizeof(PluginStartupInfo), 372, 480));
static_assert(FarLayoutMatches(sizeof(PluginInfo), 44, 80));
static_assert(FarLayoutMatches(sizeof(OpenPluginInfo), 72, 120));
static_assert(FarLayoutMatches(sizeof(PanelMode), 44, 64));
static_assert(FarLayoutMatches(sizeof(KeyBarTitles), 336, 672));
static_assert(FarLayoutMatches(sizeof(InfoPanelLine), 164, 164));
static_assert(FarLayoutMatches(sizeof(FAR_FIND_DATA), 318, 320));
static_assert(FarLayoutMatches(sizeof(PluginPanelItem), 366, 384));
static_assert(FarLayoutMatches(sizeof(PanelInfo), 496, 512));
static_assert(FarLayoutMatches(sizeof(PanelRedrawInfo), 8, 8));
static_assert(FarLayoutMatches(sizeof(FarDialogItem), 548, 552));
static_assert(FarLayoutMatches(sizeof(FarMenuItem), 140, 140));
static_assert(FarLayoutMatches(sizeof(FarListItem), 144, 144));
static_assert(FarLayoutMatches(sizeof(FarList), 8, 16));

// The host copies these records byte for byte, and offsetof needs a standard layout.
template <typename... TRecord>
constexpr bool kFarPlainRecords = ((std::is_trivially_copyable_v<TRecord> &&
                                    std::is_standard_layout_v<TRecord>)&&...);
static_assert(
    kFarPlainRecords<PluginStartupInfo, PluginInfo, OpenPluginInfo, PanelMode, KeyBarTitles,
                     InfoPanelLine, FAR_FIND_DATA, PluginPanelItem, PanelInfo, PanelRedrawInfo,
                     FarDialogItem, FarMenuItem, FarListItem, FarList>);

// Members that sit right after a packed or pointer-sized member, where a layout slip shows first.
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, RootKey), 268, 272));
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, Message), 280, 296));
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, GetMsg), 284, 304));
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, FSF), 336, 408));
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, Reserved), 364, 464));
static_assert(FarLayoutMatches(offsetof(PluginStartupInfo, ViewerControl), 368, 472));
static_assert(FarLayoutMatches(offsetof(PluginInfo, CommandPrefix), 36, 64));
static_assert(FarLayoutMatches(offsetof(OpenPluginInfo, KeyBar), 60, 96));
static_assert(FarLayoutMatches(offsetof(OpenPluginInfo, Reserverd), 68, 112));
static_assert(FarLayoutMatches(offsetof(PanelMode, Reserved), 36, 56));
static_assert(FarLayoutMatches(offsetof(FAR_FIND_DATA, cAlternateFileName), 304, 304));
static_assert(FarLayoutMatches(offsetof(PluginPanelItem, PackSizeHigh), 318, 320));
static_assert(FarLayoutMatches(offsetof(PluginPanelItem, Description), 334, 336));
static_assert(FarLayoutMatches(offsetof(PluginPanelItem, UserData), 350, 364));
static_assert(FarLayoutMatches(offsetof(PluginPanelItem, Reserved), 358, 372));
static_assert(FarLayoutMatches(offsetof(PanelInfo, PanelItems), 24, 24));
static_assert(FarLayoutMatches(offsetof(PanelInfo, CurDir), 220, 232));
static_assert(FarLayoutMatches(offsetof(PanelInfo, Flags), 488, 500));
static_assert(FarLayoutMatches(offsetof(FarDialogItem, Flags), 28, 32));
static_assert(FarLayoutMatches(offsetof(FarDialogItem, Data), 36, 40));
static_assert(FarLayoutMatches(offsetof(FarDialogItem, Ptr.PtrData), 44, 48));
static_assert(FarLayoutMatches(offsetof(FarListItem, Reserved), 132, 132));
static_assert(FarLayoutMatches(offsetof(FarList, Items), 4, 8));
