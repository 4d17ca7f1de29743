#include "plugin/output_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "fake_host.h"
#include "farapi/far_api.h"
#include "farlib/message_ids.h"

namespace Plugin {
namespace {

struct OutputCase {
  const char* name;
  bool exists;  // the file is there before ("old")
  bool silent;
  int mode;
  std::optional<int> answer;  // the button pressed in the box shown, or no box
  int buttons;                // of that box
  const char* content;        // afterwards, having written "new" when a file was returned
};

void PrintTo(const OutputCase& c, std::ostream* out) { *out << c.name; }

class OutputFile : public testing::TestWithParam<OutputCase> {
 protected:
  OutputFile() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_folder = std::filesystem::temp_directory_path() / ("zantel-output-" + std::to_string(stamp));
    std::filesystem::create_directories(m_folder);
  }
  ~OutputFile() override { std::filesystem::remove_all(m_folder); }

  std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path m_folder;
};

TEST_P(OutputFile, TreatsAnExistingFileAsTheModeSays) {
  const OutputCase& c = GetParam();
  CFakeHost host;
  const std::string name = (m_folder / "contacts.txt").string();
  if (c.exists) std::ofstream(name, std::ios::binary) << "old";
  if (c.answer) host.AnswerMessage(*c.answer);

  Platform::CFile file = CreateOutputFile(name, c.silent, c.mode);
  if (file.IsOpen()) {
    uint32_t written = 0;
    ASSERT_TRUE(file.Write("new", 3, written));
  }
  file = Platform::CFile();

  EXPECT_EQ(Read(name), c.content);
  ASSERT_EQ(host.Messages().size(), c.answer ? 1u : 0u);
  if (c.answer) {
    const auto& box = host.Messages()[0];
    EXPECT_EQ(box.helpTopic, "AlreadyExists");
    EXPECT_EQ(box.flags, static_cast<FarDword>(FMSG_WARNING));
    EXPECT_EQ(box.buttons, c.buttons);
    EXPECT_EQ(box.items[2], name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OutputFile,
    testing::Values(
        OutputCase{"NewFile", false, false, kAskOverwrite, {}, 0, "new"},
        OutputCase{"AskedAndOverwritten", true, false, kAskOverwrite, 0, 2, "new"},
        OutputCase{"AskedAndCancelled", true, false, kAskOverwrite, 1, 2, "old"},
        OutputCase{"EscapeCancels", true, false, kAskOverwrite, -1, 2, "old"},
        OutputCase{"AskedAndAppended", true, false, kAskOverwriteOrAppend, 1, 3, "oldnew"},
        OutputCase{"ThirdButtonCancels", true, false, kAskOverwriteOrAppend, 2, 3, "old"},
        OutputCase{"AppendedSilently", true, false, kAppendSilently, {}, 0, "oldnew"},
        OutputCase{"OverwrittenSilently", true, false, 7, {}, 0, "new"},
        OutputCase{"SilentLeavesItAlone", true, true, kAskOverwrite, {}, 0, "old"}));

TEST_F(OutputFile, UnwritablePlaceIsReportedUnlessSilent) {
  CFakeHost host;
  const std::string name = (m_folder / "missing" / "contacts.txt").string();
  EXPECT_FALSE(CreateOutputFile(name, true, kAskOverwrite).IsOpen());
  EXPECT_TRUE(host.Messages().empty());

  host.AnswerMessage(0);
  EXPECT_FALSE(CreateOutputFile(name, false, kAskOverwrite).IsOpen());
  ASSERT_EQ(host.Messages().size(), 1u);
  const auto& box = host.Messages()[0];
  EXPECT_EQ(box.helpTopic, "OpenError");
  EXPECT_EQ(box.flags, static_cast<FarDword>(FMSG_WARNING | FMSG_ERRORTYPE));
  EXPECT_EQ(box.items, (std::vector<std::string>{"Zantel", "Cannot open the port", name, "OK"}));
  EXPECT_FALSE(std::filesystem::exists(name));
}

}  // namespace
}  // namespace Plugin
