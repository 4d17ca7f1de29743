// How many PDUs a second the SMS layer decodes and encodes, over a mix like a phone's message
// list: default alphabet and UCS2, single and concatenated parts, status reports, validity
// periods. It measures; nothing here checks results.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "sms/message_parts.h"
#include "sms/sms_message.h"

namespace {

struct CLine {
  bool m_fromServiceCentre;
  const char* m_hex;
};

const std::array kMixedLines = {
    CLine{true, "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37"},
    CLine{true, "0791447758100650040B914477000910F20000503021906114400CC8F71D14969741F977FD07"},
    CLine{true, "0791447758100650440C9144770009103200085030219061148A0C0500037A0201004800E90021"},
    CLine{
        true,
        "0791447758100650440C9144770009103200005030219061140013050003CC0202EE6F399BCC026DCAA05A08"},
    CLine{true, "07914477581006500414D0DAB09B5E6637DFE2341B0000503021906114000AD4371C548783DCEF3B"},
    CLine{true, "0791447758100650022A0C914477000910325030219061148A5030219071148A41"},
    CLine{false, "0791447758100650092D0C91447700091032000043214365000000044FF7B80C"},
    CLine{false, "0001050B919761214365F700080C041F04400438043204350442"},
    CLine{false, "0041000C9144770009103200000F0500037B0202C2E170381C0E8701"},
};

const std::array<std::u16string, 4> kMixedTexts = {
    u"Hello",
    u"Running late, see you at the station at 7 € for the tickets",
    u"Привет! Встречаемся в семь у вокзала.",
    std::u16string(200, u'a'),
};

void DecodeMixed(benchmark::State& state) {
  size_t next = 0;
  for (auto _ : state) {
    const CLine& line = kMixedLines[next++ % kMixedLines.size()];
    CSMSMessage message(line.m_fromServiceCentre);
    benchmark::DoNotOptimize(message.Decode(line.m_hex));
  }
  state.counters["PDUs"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// As the composer does it: choose the coding, split, encode every part.
void EncodeMixed(benchmark::State& state) {
  size_t next = 0;
  double pdus = 0;
  for (auto _ : state) {
    CSMSMessage message(false);
    message.address = "+447700900123";
    message.wideText = kMixedTexts[next++ % kMixedTexts.size()];
    ChooseCoding(message);
    const CMessageParts split = SplitText(message.wideText, message.Alphabet(), 0x5A);
    const std::vector<std::string> encoded = EncodeParts(message, split.parts, 0x5A);
    pdus += static_cast<double>(encoded.size());
    benchmark::DoNotOptimize(encoded.data());
  }
  state.counters["PDUs"] = benchmark::Counter(pdus, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(DecodeMixed);
BENCHMARK(EncodeMixed);

BENCHMARK_MAIN();
