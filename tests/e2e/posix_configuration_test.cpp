#include <filesystem>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// A configuration whose settings cannot be stored: the user hears of it once, not once from
// the store and again from the configuration command.
namespace EndToEnd {
namespace {

TEST_F(OpenPhone, UnsavableConfigurationIsReportedOnce) {
  // A folder where the store's file should be is no store the plug-in may write to.
  const std::string folder = m_registry.File() + ".folder";
  std::filesystem::create_directory(folder);
  {
    CScopedEnvironment store("ZANTEL_REGISTRY", folder);
    Load();
    m_host.AnswerMenu("Config").Escape();
    m_host.AnswerMessage(0).Topic("Error");
    EXPECT_EQ(m_host.Configure(0), 1);
    m_host.Verify();
    std::vector<std::vector<std::string>> boxes;
    for (const Host::ShownMessage& box : m_host.Messages()) boxes.push_back(box.items);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].at(1), "Settings could not be saved");
    // Unloading saves again, and says so again: that is another attempt.
    m_host.AnswerMessage(0).Topic("Error");
    m_host.Exit();
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace EndToEnd
