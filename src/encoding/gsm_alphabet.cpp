#include "encoding/gsm_alphabet.h"

namespace {

constexpr CGsmTable MakeExtensionTable() {
  CGsmTable table{};
  table[0x0A] = u' ';
  table[0x14] = u'^';
  table[0x1B] = u' ';
  table[0x28] = u'{';
  table[0x29] = u'}';
  table[0x2F] = u'\\';
  table[0x3C] = u'[';
  table[0x3D] = u'~';
  table[0x3E] = u']';
  table[0x40] = u'|';
  table[0x65] = u'\u20AC';
  return table;
}

constexpr CGsmTable MakeIraTable() {
  CGsmTable table{};
  for (char16_t code = 0; code < table.size(); ++code) {
    table[code] = code;
  }
  return table;
}

}  // namespace

const CGsmTable kGsmBasicTable = {
    u'@',      u'\u00A3', u'$',      u'\u00A5', u'\u00E8', u'\u00E9', u'\u00F9', u'\u00EC',
    u'\u00F2', u'\u00C7', u'\n',     u'\u00D8', u'\u00F8', u'\r',     u'\u00C5', u'\u00E5',
    u'\u0394', u'_',      u'\u03A6', u'\u0393', u'\u039B', u'\u03A9', u'\u03A0', u'\u03A8',
    u'\u03A3', u'\u0398', u'\u039E', u'\x1B',   u'\u00C6', u'\u00E6', u'\u00DF', u'\u00C9',
    u' ',      u'!',      u'"',      u'#',      u'\u00A4', u'%',      u'&',      u'\'',
    u'(',      u')',      u'*',      u'+',      u',',      u'-',      u'.',      u'/',
    u'0',      u'1',      u'2',      u'3',      u'4',      u'5',      u'6',      u'7',
    u'8',      u'9',      u':',      u';',      u'<',      u'=',      u'>',      u'?',
    u'\u00A1', u'A',      u'B',      u'C',      u'D',      u'E',      u'F',      u'G',
    u'H',      u'I',      u'J',      u'K',      u'L',      u'M',      u'N',      u'O',
    u'P',      u'Q',      u'R',      u'S',      u'T',      u'U',      u'V',      u'W',
    u'X',      u'Y',      u'Z',      u'\u00C4', u'\u00D6', u'\u00D1', u'\u00DC', u'\u00A7',
    u'\u00BF', u'a',      u'b',      u'c',      u'd',      u'e',      u'f',      u'g',
    u'h',      u'i',      u'j',      u'k',      u'l',      u'm',      u'n',      u'o',
    u'p',      u'q',      u'r',      u's',      u't',      u'u',      u'v',      u'w',
    u'x',      u'y',      u'z',      u'\u00E4', u'\u00F6', u'\u00F1', u'\u00FC', u'\u00E0',
};

const CGsmTable kGsmExtensionTable = MakeExtensionTable();

const CGsmTable kIraTable = MakeIraTable();
