// How many PDUs a second the SMS layer decodes and encodes, over a mix like a phone's message
// list: default alphabet and UCS2, single and concatenated parts, status reports, validity
// periods. It measures; nothing here checks results.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "pdu_mix.h"
#include "sms/message_parts.h"
#include "sms/sms_message.h"

namespace {

const std::array<std::u16string, 4> kMixedTexts = {
    u"Hello",
    u"Running late, see you at the station at 7 € for the tickets",
    u"Привет! Встречаемся в семь у вокзала.",
    std::u16string(200, u'a'),
};

void DecodeMixed(benchmark::State& state) {
  size_t next = 0;
  for (auto _ : state) {
    const CPduLine& line = kMixedLines[next++ % kMixedLines.size()];
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
