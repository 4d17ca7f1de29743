#pragma once
// PDU lines as "+CMGL:" lists them (service-centre address first), shared by the benchmark
// programs so that their figures speak of the same messages.

#include <array>
#include <span>

enum class PduKind { kDefault, kUcs2, kEightBit, kReport };

struct CPduLine {
  bool m_fromServiceCentre;
  PduKind m_kind;
  const char* m_hex;
};

// A phone's message list: default alphabet and UCS2, single and concatenated parts, status
// reports, validity periods.
inline constexpr std::array kMixedLines = {
    CPduLine{true, PduKind::kDefault,
             "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37"},
    CPduLine{true, PduKind::kDefault,
             "0791447758100650040B914477000910F20000503021906114400CC8F71D14969741F977FD07"},
    CPduLine{true, PduKind::kUcs2,
             "0791447758100650440C9144770009103200085030219061148A0C0500037A0201004800E90021"},
    CPduLine{true, PduKind::kDefault,
             "0791447758100650440C9144770009103200005030219061140013050003CC0202EE6F399BCC026DCAA0"
             "5A08"},
    CPduLine{true, PduKind::kDefault,
             "07914477581006500414D0DAB09B5E6637DFE2341B0000503021906114000AD4371C548783DCEF3B"},
    CPduLine{true, PduKind::kReport,
             "0791447758100650022A0C914477000910325030219061148A5030219071148A41"},
    CPduLine{false, PduKind::kDefault,
             "0791447758100650092D0C91447700091032000043214365000000044FF7B80C"},
    CPduLine{false, PduKind::kUcs2, "0001050B919761214365F700080C041F04400438043204350442"},
    CPduLine{false, PduKind::kDefault, "0041000C9144770009103200000F0500037B0202C2E170381C0E8701"},
};

// 8-bit data, which the list above lacks: a plain received message and one with a port
// addressing header (class 1).
inline constexpr std::array kEightBitLines = {
    CPduLine{true, PduKind::kEightBit,
             "0791447758100650040C91447700091032000450302190611440"
             "0A48656C6C6F2C20A9B0FF"},
    CPduLine{true, PduKind::kEightBit,
             "0791447758100650440C9144770009103200F5503021906114401B"
             "0605040B8423F00106246170706C69636174696F6E2F766E642E77"},
};
