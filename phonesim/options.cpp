#include "phonesim/options.h"

#include <charconv>
#include <map>

namespace PhoneSim {

const char* const kUsage =
    "usage: zantel-phonesim [options]\n"
    "Plays a GSM phone on a new pseudo-terminal (its path is printed on the first line of\n"
    "standard output) or on standard input and output. Exit status: 0 the session ended,\n"
    "1 it could not start, 2 bad arguments, 3 --max-seconds ran out.\n"
    "  --state FILE          the phone (JSON); without it an empty phone of --profile, or\n"
    "                        with neither a demo phone of contacts, calls and messages\n"
    "  --save FILE           write the phone's state there when the session ends\n"
    "  --profile NAME        the kind of phone (see --list-profiles)\n"
    "  --stdio               serve on standard input and output\n"
    "  --link PATH           make PATH a symbolic link to the terminal\n"
    "  --transcript FILE     log everything received and sent\n"
    "  --ready FILE          write the terminal's path there once it is served\n"
    "  --changes FILE        a change to the phone (JSON), applied once and removed when it\n"
    "                        appears: before the next command line, or while the line is quiet\n"
    "  --faults FILE         a fault script (JSON)\n"
    "  --rate BYTES          line rate in bytes per second\n"
    "  --latency MS          pause before each answer\n"
    "  --split-seed N        write answers in random pieces, seeded\n"
    "  --silent-after N      fall silent after answering N commands\n"
    "  --hang-up-after N     close the terminal after answering command N\n"
    "  --hang-up-during N    close the terminal half-way through the answer to command N\n"
    "  --unstored-writes-from N\n"
    "                        acknowledge every phone-book write from command N on, store none\n"
    "  --until-closed        end when the client closes the terminal it had opened\n"
    "  --max-seconds N       end after N seconds whatever happens, with exit status 3\n"
    "  --list-profiles       print the profile names and exit\n";

namespace {

bool ToNumber(const std::string& text, int& value) {
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  return failure == std::errc() && end == text.data() + text.size() && value >= 0;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  const std::map<std::string, std::string*> texts = {
      {"--state", &options.statePath},           {"--save", &options.savePath},
      {"--profile", &options.profile},           {"--link", &options.linkPath},
      {"--transcript", &options.transcriptPath}, {"--faults", &options.faultsPath},
      {"--changes", &options.changesPath},       {"--ready", &options.readyPath}};
  int splitSeed = -1;
  int unstoredWritesFrom = 0;
  const std::map<std::string, int*> numbers = {{"--rate", &options.faults.bytesPerSecond},
                                               {"--latency", &options.faults.latencyMs},
                                               {"--split-seed", &splitSeed},
                                               {"--silent-after", &options.faults.silentAfter},
                                               {"--hang-up-after", &options.faults.hangUpAfter},
                                               {"--hang-up-during", &options.faults.hangUpDuring},
                                               {"--unstored-writes-from", &unstoredWritesFrom},
                                               {"--max-seconds", &options.maxSeconds}};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::map<std::string, bool*> flags = {{"--stdio", &options.standardStreams},
                                                {"--list-profiles", &options.listProfiles},
                                                {"--help", &options.help},
                                                {"--until-closed", &options.untilClosed}};
    if (const auto flag = flags.find(arg); flag != flags.end()) {
      *flag->second = true;
      continue;
    }
    const auto text = texts.find(arg);
    const auto number = numbers.find(arg);
    if (text == texts.end() && number == numbers.end()) {
      error = "unknown option " + arg;
      return std::nullopt;
    }
    if (i + 1 == args.size()) {
      error = arg + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (text != texts.end()) {
      *text->second = value;
    } else if (!ToNumber(value, *number->second)) {
      error = arg + " needs a number that is not negative";
      return std::nullopt;
    }
  }
  if (splitSeed >= 0) options.faults.splitSeed = static_cast<uint32_t>(splitSeed);
  if (unstoredWritesFrom > 0) options.faults.unstoredWrites = UnstoredWrites{unstoredWritesFrom};
  if (options.standardStreams && !options.linkPath.empty()) {
    error = "--link needs a pseudo-terminal, not --stdio";
    return std::nullopt;
  }
  if (options.standardStreams && !options.readyPath.empty()) {
    error = "--ready tells of a pseudo-terminal, not --stdio";
    return std::nullopt;
  }
  if (options.standardStreams && options.untilClosed) {
    error = "--until-closed needs a pseudo-terminal; with --stdio the session ends with the input";
    return std::nullopt;
  }
  return options;
}

Faults MergeFaults(Faults script, const Faults& options) {
  const auto over = [](int& into, int value) {
    if (value > 0) into = value;
  };
  over(script.bytesPerSecond, options.bytesPerSecond);
  over(script.latencyMs, options.latencyMs);
  over(script.silentAfter, options.silentAfter);
  over(script.hangUpAfter, options.hangUpAfter);
  over(script.hangUpDuring, options.hangUpDuring);
  if (options.splitSeed) script.splitSeed = options.splitSeed;
  if (options.unstoredWrites) script.unstoredWrites = options.unstoredWrites;
  return script;
}

}  // namespace PhoneSim
