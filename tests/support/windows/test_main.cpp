// The Windows tests' main: every test assumes the Japanese user locale with
// code page 932, which Wine gives only when its glibc locale is there; a
// silent fallback to code page 1252 fails every test here, loudly.
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

namespace {

class JapaneseCodePage : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "the ANSI code page is not 932 (Shift_JIS): Wine needs LANG="
                                 "ja_JP.UTF-8 with that locale under LOCPATH";
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new JapaneseCodePage);
  return RUN_ALL_TESTS();
}
