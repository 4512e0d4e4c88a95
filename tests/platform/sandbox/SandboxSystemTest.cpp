#include "platform/sandbox/SandboxSystem.h"

#include <gtest/gtest.h>

#include "platform/WinTypes.h"

namespace sandbox {
namespace {

TEST(SandboxSystem, ClaimsWindows95OrNtWithItsServicePack) {
  SandboxSystem win95(platform::kPlatformWindows, "Service Pack 3");
  const platform::OsVersion v95 = win95.Version();
  EXPECT_EQ(v95.majorVersion, 4u);
  EXPECT_EQ(v95.minorVersion, 0u);
  EXPECT_EQ(v95.buildNumber, 950u);
  EXPECT_EQ(v95.platformId, platform::kPlatformWindows);
  EXPECT_EQ(v95.csdVersion, "");

  SandboxSystem nt(platform::kPlatformWin32Nt, "Service Pack 3");
  const platform::OsVersion vnt = nt.Version();
  EXPECT_EQ(vnt.buildNumber, 1381u);
  EXPECT_EQ(vnt.platformId, platform::kPlatformWin32Nt);
  EXPECT_EQ(vnt.csdVersion, "Service Pack 3");
}

TEST(SandboxSystem, GivesErrorTextsWithoutTheirEnd) {
  struct Case {
    std::uint32_t code;
    const char* text;
  };
  const Case cases[] = {
      {2, "The system cannot find the file specified"},
      {5, "Access is denied"},
      {32, "The process cannot access the file because it is being used by another process"},
      {112, "There is not enough space on the disk"},
      {1314, "A required privilege is not held by the client"},
      {0x80070005u, "Access is denied"},
      {0x80004005u, "Unspecified error"},
      {0x8007FFFFu, ""},
      {4242, ""},
  };
  SandboxSystem system(platform::kPlatformWin32Nt, "");
  for (const Case& c : cases) EXPECT_EQ(system.ErrorText(c.code), c.text) << c.code;
}

}  // namespace
}  // namespace sandbox
