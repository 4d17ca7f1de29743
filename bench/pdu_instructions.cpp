// Decodes a fixed number of PDU lines of one set so that bench/callgrind-pdu can count the
// instructions of the decoding loop alone (valgrind --toggle-collect=*MeasuredDecodes*).
//
//   pdu_instructions SET COUNT     SET: mix, default, ucs2, 8bit or reports
//
// Every line of the set is decoded once before the loop, so what is built once per process
// (code page tables, settings) is not counted; a line that fails to decode stops the program,
// since its figure would mean nothing.

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "pdu_mix.h"
#include "sms/sms_message.h"

namespace {

std::vector<CPduLine> LinesOfSet(std::string_view set) {
  std::vector<CPduLine> lines;
  if (set == "mix") {
    lines.assign(kMixedLines.begin(), kMixedLines.end());
    return lines;
  }
  const struct {
    std::string_view m_name;
    PduKind m_kind;
  } kSets[] = {{"default", PduKind::kDefault},
               {"ucs2", PduKind::kUcs2},
               {"8bit", PduKind::kEightBit},
               {"reports", PduKind::kReport}};
  for (const auto& entry : kSets) {
    if (entry.m_name != set) continue;
    for (const auto& all :
         {std::span<const CPduLine>(kMixedLines), std::span<const CPduLine>(kEightBitLines)}) {
      for (const CPduLine& line : all) {
        if (line.m_kind == entry.m_kind) lines.push_back(line);
      }
    }
  }
  return lines;
}

bool DecodeLine(const CPduLine& line, size_t& characters) {
  CSMSMessage message(line.m_fromServiceCentre);
  const bool decoded = message.Decode(line.m_hex);
  characters += message.wideText.size() + message.text.size();
  return decoded;
}

}  // namespace

// Outside the anonymous namespace so that its name is the same in every build.
[[gnu::noinline]] size_t MeasuredDecodes(const std::vector<CPduLine>& lines, size_t count) {
  size_t characters = 0;
  for (size_t done = 0; done < count; ++done) {
    DecodeLine(lines[done % lines.size()], characters);
  }
  return characters;
}

int main(int argc, char** argv) {
  size_t count = 0;
  const std::string_view countText = argc == 3 ? argv[2] : "";
  const auto [end, error] =
      std::from_chars(countText.data(), countText.data() + countText.size(), count);
  const std::vector<CPduLine> lines = LinesOfSet(argc == 3 ? argv[1] : "");
  if (lines.empty() || error != std::errc() || end != countText.data() + countText.size() ||
      count == 0) {
    std::fprintf(stderr, "usage: pdu_instructions mix|default|ucs2|8bit|reports COUNT\n");
    return 2;
  }
  size_t characters = 0;
  for (const CPduLine& line : lines) {
    if (!DecodeLine(line, characters)) {
      std::fprintf(stderr, "pdu_instructions: %s does not decode\n", line.m_hex);
      return 1;
    }
  }
  characters += MeasuredDecodes(lines, count);
  std::printf("%zu lines of %zu decoded (%zu characters)\n", count, lines.size(), characters);
  return 0;
}
