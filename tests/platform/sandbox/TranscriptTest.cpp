#include "platform/sandbox/Transcript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace sandbox {
namespace {

TEST(Transcript, WritesOneEscapedLinePerCall) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("transcript-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  Transcript transcript(dir / "system.log");
  transcript.Append({"dde-execute", "PROGMAN", "", "[CreateGroup(A\\B)]\r\n\t"});
  transcript.Append({"process", "C:\\X.EXE", "7", "exit 0"});

  std::ifstream in(dir / "system.log", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "dde-execute\tPROGMAN\t\t[CreateGroup(A\\\\B)]\\r\\n\\t\n"
            "process\tC:\\\\X.EXE\t7\texit 0\n");
  EXPECT_EQ(transcript.Lines().size(), 2u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace sandbox
