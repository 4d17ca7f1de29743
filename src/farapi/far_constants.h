#pragma once
// Constant values of the Far Manager 1.70 plug-in interface, under the host's own names.
// None of these names is a <windows.h> macro (the host's header defines them beside
// <windows.h>); the virtual-key codes are, so ours carry a kVk prefix instead.
#include "farapi/far_types.h"

constexpr int NM = 260;
constexpr int MAXSIZE_SHORTCUTDATA = 8192;

// OpenPlugin's OpenFrom.
constexpr int OPEN_DISKMENU = 0;
constexpr int OPEN_PLUGINSMENU = 1;
constexpr int OPEN_FINDLIST = 2;
constexpr int OPEN_SHORTCUT = 3;
constexpr int OPEN_COMMANDLINE = 4;
constexpr int OPEN_EDITOR = 5;
constexpr int OPEN_VIEWER = 6;

// Control's Command: the host numbers them consecutively from 0.
constexpr int FCTL_CLOSEPLUGIN = 0;
constexpr int FCTL_GETPANELINFO = 1;
constexpr int FCTL_GETANOTHERPANELINFO = 2;
constexpr int FCTL_UPDATEPANEL = 3;
constexpr int FCTL_UPDATEANOTHERPANEL = 4;
constexpr int FCTL_REDRAWPANEL = 5;
constexpr int FCTL_REDRAWANOTHERPANEL = 6;
constexpr int FCTL_SETANOTHERPANELDIR = 7;
constexpr int FCTL_GETCMDLINE = 8;
constexpr int FCTL_SETCMDLINE = 9;
constexpr int FCTL_SETSELECTION = 10;
constexpr int FCTL_SETANOTHERSELECTION = 11;
constexpr int FCTL_SETVIEWMODE = 12;
constexpr int FCTL_SETANOTHERVIEWMODE = 13;
constexpr int FCTL_INSERTCMDLINE = 14;
constexpr int FCTL_SETUSERSCREEN = 15;
constexpr int FCTL_SETPANELDIR = 16;
constexpr int FCTL_SETCMDLINEPOS = 17;
constexpr int FCTL_GETCMDLINEPOS = 18;
constexpr int FCTL_SETSORTMODE = 19;
constexpr int FCTL_SETANOTHERSORTMODE = 20;
constexpr int FCTL_SETSORTORDER = 21;
constexpr int FCTL_SETANOTHERSORTORDER = 22;
constexpr int FCTL_GETCMDLINESELECTEDTEXT = 23;
constexpr int FCTL_SETCMDLINESELECTION = 24;
constexpr int FCTL_GETCMDLINESELECTION = 25;
constexpr int FCTL_GETPANELSHORTINFO = 26;
constexpr int FCTL_GETANOTHERPANELSHORTINFO = 27;
constexpr int FCTL_CHECKPANELSEXIST = 28;
constexpr int FCTL_SETNUMERICSORT = 29;
constexpr int FCTL_SETANOTHERNUMERICSORT = 30;

// FarDialogItem.Type.
constexpr int DI_TEXT = 0;
constexpr int DI_VTEXT = 1;
constexpr int DI_SINGLEBOX = 2;
constexpr int DI_DOUBLEBOX = 3;
constexpr int DI_EDIT = 4;
constexpr int DI_PSWEDIT = 5;
constexpr int DI_FIXEDIT = 6;
constexpr int DI_BUTTON = 7;
constexpr int DI_CHECKBOX = 8;
constexpr int DI_RADIOBUTTON = 9;
constexpr int DI_COMBOBOX = 10;
constexpr int DI_LISTBOX = 11;
constexpr int DI_USERCONTROL = 255;

// FarDialogItem.Flags. Several names share a bit; which one applies depends on the item type.
constexpr FarDword DIF_COLORMASK = 0x000000FF;
constexpr FarDword DIF_SETCOLOR = 0x00000100;
constexpr FarDword DIF_BOXCOLOR = 0x00000200;
constexpr FarDword DIF_GROUP = 0x00000400;
constexpr FarDword DIF_LEFTTEXT = 0x00000800;
constexpr FarDword DIF_MOVESELECT = 0x00001000;
constexpr FarDword DIF_SHOWAMPERSAND = 0x00002000;
constexpr FarDword DIF_CENTERGROUP = 0x00004000;
constexpr FarDword DIF_NOBRACKETS = 0x00008000;
constexpr FarDword DIF_MANUALADDHISTORY = 0x00008000;
constexpr FarDword DIF_SEPARATOR = 0x00010000;
constexpr FarDword DIF_VAREDIT = 0x00010000;
constexpr FarDword DIF_SEPARATOR2 = 0x00020000;
constexpr FarDword DIF_EDITOR = 0x00020000;
constexpr FarDword DIF_LISTNOAMPERSAND = 0x00020000;
constexpr FarDword DIF_HISTORY = 0x00040000;
constexpr FarDword DIF_LISTNOBOX = 0x00040000;
constexpr FarDword DIF_BTNNOCLOSE = 0x00040000;
constexpr FarDword DIF_CENTERTEXT = 0x00040000;
constexpr FarDword DIF_EDITEXPAND = 0x00080000;
constexpr FarDword DIF_DROPDOWNLIST = 0x00100000;
constexpr FarDword DIF_USELASTHISTORY = 0x00200000;
constexpr FarDword DIF_MASKEDIT = 0x00400000;
constexpr FarDword DIF_SELECTONENTRY = 0x00800000;
constexpr FarDword DIF_3STATE = 0x00800000;
constexpr FarDword DIF_LISTWRAPMODE = 0x01000000;
constexpr FarDword DIF_LISTAUTOHIGHLIGHT = 0x02000000;
constexpr FarDword DIF_LISTNOCLOSE = 0x04000000;
constexpr FarDword DIF_HIDDEN = 0x10000000;
constexpr FarDword DIF_READONLY = 0x20000000;
constexpr FarDword DIF_NOFOCUS = 0x40000000;
constexpr FarDword DIF_DISABLE = 0x80000000;

// Message flags. Any FMSG_MB_* value makes the host ignore ButtonsNumber.
constexpr FarDword FMSG_WARNING = 0x00000001;
constexpr FarDword FMSG_ERRORTYPE = 0x00000002;
constexpr FarDword FMSG_KEEPBACKGROUND = 0x00000004;
constexpr FarDword FMSG_DOWN = 0x00000008;
constexpr FarDword FMSG_LEFTALIGN = 0x00000010;
constexpr FarDword FMSG_ALLINONE = 0x00000020;
constexpr FarDword FMSG_MB_OK = 0x00010000;
constexpr FarDword FMSG_MB_OKCANCEL = 0x00020000;
constexpr FarDword FMSG_MB_ABORTRETRYIGNORE = 0x00030000;
constexpr FarDword FMSG_MB_YESNO = 0x00040000;
constexpr FarDword FMSG_MB_YESNOCANCEL = 0x00050000;
constexpr FarDword FMSG_MB_RETRYCANCEL = 0x00060000;

// Menu flags.
constexpr FarDword FMENU_SHOWAMPERSAND = 0x01;
constexpr FarDword FMENU_WRAPMODE = 0x02;
constexpr FarDword FMENU_AUTOHIGHLIGHT = 0x04;
constexpr FarDword FMENU_REVERSEAUTOHIGHLIGHT = 0x08;
constexpr FarDword FMENU_USEEXT = 0x20;
constexpr FarDword FMENU_CHANGECONSOLETITLE = 0x40;

// OpenPluginInfo.Flags.
constexpr FarDword OPIF_USEFILTER = 0x0001;
constexpr FarDword OPIF_USESORTGROUPS = 0x0002;
constexpr FarDword OPIF_USEHIGHLIGHTING = 0x0004;
constexpr FarDword OPIF_ADDDOTS = 0x0008;
constexpr FarDword OPIF_RAWSELECTION = 0x0010;
constexpr FarDword OPIF_REALNAMES = 0x0020;
constexpr FarDword OPIF_SHOWNAMESONLY = 0x0040;
constexpr FarDword OPIF_SHOWRIGHTALIGNNAMES = 0x0080;
constexpr FarDword OPIF_SHOWPRESERVECASE = 0x0100;
constexpr FarDword OPIF_FINDFOLDERS = 0x0200;
constexpr FarDword OPIF_COMPAREFATTIME = 0x0400;
constexpr FarDword OPIF_EXTERNALGET = 0x0800;
constexpr FarDword OPIF_EXTERNALPUT = 0x1000;
constexpr FarDword OPIF_EXTERNALDELETE = 0x2000;
constexpr FarDword OPIF_EXTERNALMKDIR = 0x4000;
constexpr FarDword OPIF_USEATTRHIGHLIGHTING = 0x8000;

// OpMode bits of GetFindData, SetDirectory, GetFiles and PutFiles.
constexpr int OPM_SILENT = 0x01;
constexpr int OPM_FIND = 0x02;
constexpr int OPM_VIEW = 0x04;
constexpr int OPM_EDIT = 0x08;
constexpr int OPM_TOPLEVEL = 0x10;
constexpr int OPM_DESCR = 0x20;
constexpr int OPM_QUICKVIEW = 0x40;

// ProcessKey's ControlState, and the high word of a Menu BreakKeys entry.
constexpr int PKF_CONTROL = 0x1;
constexpr int PKF_ALT = 0x2;
constexpr int PKF_SHIFT = 0x4;
// OR-ed into ProcessKey's Key (never ControlState) on the host's first, "raw" offer of a key.
constexpr int PKF_PREPROCESS = 0x80000;

// PluginInfo.Flags.
constexpr FarDword PF_PRELOAD = 0x01;
constexpr FarDword PF_DISABLEPANELS = 0x02;
constexpr FarDword PF_EDITOR = 0x04;
constexpr FarDword PF_VIEWER = 0x08;
constexpr FarDword PF_FULLCMDLINE = 0x10;

// Sort modes: OpenPluginInfo.StartSortMode, PanelInfo.SortMode, FCTL_SETSORTMODE.
constexpr int SM_DEFAULT = 0;
constexpr int SM_UNSORTED = 1;
constexpr int SM_NAME = 2;
constexpr int SM_EXT = 3;
constexpr int SM_MTIME = 4;
constexpr int SM_CTIME = 5;
constexpr int SM_ATIME = 6;
constexpr int SM_SIZE = 7;
constexpr int SM_DESCR = 8;
constexpr int SM_OWNER = 9;
constexpr int SM_COMPRESSEDSIZE = 10;
constexpr int SM_NUMLINKS = 11;

// PluginPanelItem.Flags: the host owns the high bits, the low word is free for the plug-in.
constexpr FarDword PPIF_PROCESSDESCR = 0x80000000;
constexpr FarDword PPIF_SELECTED = 0x40000000;
constexpr FarDword PPIF_USERDATA = 0x20000000;

// PanelInfo.Flags.
constexpr FarDword PFLAGS_SHOWHIDDEN = 0x01;
constexpr FarDword PFLAGS_HIGHLIGHT = 0x02;
constexpr FarDword PFLAGS_REVERSESORTORDER = 0x04;
constexpr FarDword PFLAGS_USESORTGROUPS = 0x08;
constexpr FarDword PFLAGS_SELECTEDFIRST = 0x10;
constexpr FarDword PFLAGS_REALNAMES = 0x20;
constexpr FarDword PFLAGS_NUMERICSORT = 0x40;

// PanelInfo.PanelType.
constexpr int PTYPE_FILEPANEL = 0;
constexpr int PTYPE_TREEPANEL = 1;
constexpr int PTYPE_QVIEWPANEL = 2;
constexpr int PTYPE_INFOPANEL = 3;

// FarListItem.Flags.
constexpr FarDword LIF_SELECTED = 0x00010000;
constexpr FarDword LIF_CHECKED = 0x00020000;
constexpr FarDword LIF_SEPARATOR = 0x00040000;
constexpr FarDword LIF_DISABLE = 0x00080000;
constexpr FarDword LIF_DELETEUSERDATA = 0x80000000;

// Windows virtual-key codes as ProcessKey and Menu BreakKeys carry them.
// Letters and digits arrive as their upper-case ASCII codes, so 'R' needs no name.
constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkF1 = 0x70;
constexpr int kVkF2 = 0x71;
constexpr int kVkF3 = 0x72;
constexpr int kVkF4 = 0x73;
constexpr int kVkF5 = 0x74;
constexpr int kVkF6 = 0x75;
constexpr int kVkF7 = 0x76;
constexpr int kVkF8 = 0x77;
constexpr int kVkF9 = 0x78;
constexpr int kVkF10 = 0x79;
constexpr int kVkF11 = 0x7A;
constexpr int kVkF12 = 0x7B;
