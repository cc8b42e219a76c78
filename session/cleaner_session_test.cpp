#include "session/cleaner_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "settings/registry_profile.h"
#include "settings/testing/memory_user_registry.h"
#include "window/memory_controls.h"

namespace {

class CleanerSessionTest : public ::testing::Test {
 protected:
  CleanerSession& Session() {
    session_ = std::make_unique<CleanerSession>(
        SessionControls{boxes_, status_, cursor_, list_, messages_},
        SessionSources{profile_, registry_, environment_, "dustral"},
        PlatformServices{files_, trash_, launcher_}, [this] { ++ended; });
    session_->Start();
    return *session_;
  }

  MemoryUserRegistry registry_;
  RegistryProfile profile_{registry_, "dustral"};
  int ended = 0;

 private:
  NoEnvironment environment_;
  FakeFileSystem files_;
  FakeTrashFolders trash_;
  FakeProgramLauncher launcher_;
  MemoryCheckBoxes boxes_;
  MemoryStatusLine status_;
  NoWaitCursor cursor_;
  MemoryListControl list_;
  std::ostringstream messageLines_;
  StreamMessageBox messages_{messageLines_};
  std::unique_ptr<CleanerSession> session_;
};

TEST_F(CleanerSessionTest, EveryWayOutSavesOnceAndEndsOnce) {
  CleanerSession& session = Session();
  session.Exit();
  session.Exit();
  EXPECT_TRUE(session.HasEnded());
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(registry_.batches, 1);
}

TEST_F(CleanerSessionTest, ACleanWithQuitAfterCleaningEndsTheSession) {
  CleanerSession& session = Session();
  session.Settings().m_bQuitAfterCleaning = 1;
  session.Clean();
  EXPECT_TRUE(session.HasEnded());
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(registry_.batches, 1);
  EXPECT_EQ(profile_.GetProfileInt("Default Settings", "Quit after cleaning", 0), 1);
}

}  // namespace
