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

// The same from the phone book's functions menu, where the model's page saves at once.
TEST_F(OpenPhone, UnsavableProfileEditIsReportedOnce) {
  const std::string folder = m_registry.File() + ".folder";
  std::filesystem::create_directory(folder);
  {
    CScopedEnvironment store("ZANTEL_REGISTRY", folder);
    Load();
    StartPhone(Phone("modem"));
    // Opening saves the new model's profile, which fails here too.
    m_host.AnswerEveryMessage(0);
    ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
    const size_t shownBefore = m_host.Messages().size();
    m_host.AnswerMenu("Functions").Choose(1);
    m_host.AnswerDialog("InfoConfigDlg").Close(10);
    m_host.AnswerMenu("Functions").Escape();
    m_host.PressKey(kVkF2);
    m_host.Verify();
    std::vector<std::string> boxes;
    for (size_t i = shownBefore; i < m_host.Messages().size(); ++i) {
      boxes.push_back(m_host.Messages()[i].items.at(1));
    }
    EXPECT_EQ(boxes, std::vector<std::string>{"Settings could not be saved"});
    FinishPhone();
    m_host.Exit();
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace EndToEnd
