#include "wizard/ShortenPath.h"

#include <gtest/gtest.h>

namespace {

struct ShortenCase {
  const char* name;
  std::string path;
  std::size_t max;
  std::string shown;
};

TEST(ShortenPathTest, ShowsTheDriveAndTheTailThatFits) {
  const std::string exactly35 = "C:\\Program Files\\Tavrin\\Console\\Bin";  // 35
  const std::string exactly36 = "C:\\Program Files\\Tavrin\\Console\\Bins";
  const std::string exactly30 = "C:\\Programs\\Tavrin\\Console\\Bin";
  ASSERT_EQ(exactly35.size(), 35u);
  ASSERT_EQ(exactly30.size(), 30u);
  const ShortenCase cases[] = {
      {"short path unchanged", "C:\\Tavrin", 35, "C:\\Tavrin"},
      {"empty path unchanged", "", 35, ""},
      {"35 characters shown whole", exactly35, 35, exactly35},
      // The tail after the drive starts with its backslash; when nothing has to be dropped it
      // follows the marker as it is.
      {"36 characters shortened", exactly36, 35,
       "C:\\ ... \\\\Program Files\\Tavrin\\Console\\Bins"},
      {"three directories dropped", "C:\\Program Files\\Office Tools\\Report Writer\\Bin", 35,
       "C:\\ ... \\Office Tools\\Report Writer\\Bin"},
      {"two directories dropped", "C:\\Data\\Archive\\Projects\\Current\\Reports", 35,
       "C:\\ ... \\Archive\\Projects\\Current\\Reports"},
      {"30 characters shown whole in the progress window", exactly30, 30, exactly30},
      {"progress window maximum", "C:\\Program Files\\Office Tools\\Report Writer\\Bin", 30,
       "C:\\ ... \\Office Tools\\Report Writer\\Bin"},
      {"progress window drops one more", "C:\\Program Files\\Office Tools\\Report Writers\\Bin", 30,
       "C:\\ ... \\Report Writers\\Bin"},
      {"long last name shown whole after the head", "C:\\Dir\\" + std::string(40, 'x'), 35,
       "C:\\ ... \\" + std::string(40, 'x')},
      {"network path keeps its first two characters", "\\\\server\\share\\very long folder name\\x",
       30, "\\\\\\ ... \\share\\very long folder name\\x"},
  };
  for (const ShortenCase& c : cases) EXPECT_EQ(ShortenPath(c.path, c.max), c.shown) << c.name;
}

}  // namespace
