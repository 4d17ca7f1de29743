#include "open_phone_fixture.h"

// Wine hands out its COM ports even when the device behind one is missing (the failure only
// comes with the first write), so the missing port is tried where a port is a device file.
namespace EndToEnd {
namespace {

TEST_F(OpenPhone, MissingDeviceIsReportedWithTheSystemError) {
  CScopedEnvironment nowhere("ZANTEL_COM1", m_registry.File() + ".no-such-port");
  Load();
  m_host.AnswerMessage(0).Topic("SysError");
  EXPECT_FALSE(m_host.Open(OPEN_DISKMENU, 0));
  ExpectCannotOpen();
}

}  // namespace
}  // namespace EndToEnd
