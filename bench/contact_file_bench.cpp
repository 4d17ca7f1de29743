// Reading a hostile 16 MiB vCard: one card whose formatted name is a megabyte long, followed by
// short TEL lines up to the size. Before contacts were limited per file and names shared, every
// number copied the name and such a file grew into gigabytes. This prints the time per read and
// the process's peak resident memory afterwards (the 16 MiB of input included); it checks
// nothing.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "peak_memory.h"
#include "phonebook/contact_files.h"

namespace {

constexpr size_t kFileSize = size_t{16} << 20;
constexpr size_t kNameSize = size_t{1} << 20;

std::string HostileCard() {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + std::string(kNameSize, 'N') + "\r\n";
  card.reserve(kFileSize + 64);
  for (size_t i = 0; card.size() < kFileSize; ++i) card += "TEL:" + std::to_string(i) + "\r\n";
  return card + "END:VCARD\r\n";
}

void ReadHostileVCard(benchmark::State& state) {
  const std::string bytes = HostileCard();
  size_t contacts = 0;
  for (auto _ : state) {
    const ContactFile file = ReadContactFile(bytes, "hostile.vcf");
    contacts = file.Size();
    benchmark::DoNotOptimize(contacts);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["contacts"] = static_cast<double>(contacts);
  state.counters["peak_MiB"] = static_cast<double>(PeakResidentBytes()) / (1 << 20);
}
BENCHMARK(ReadHostileVCard)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
