#include "brand/program_icon.h"

#include <gtest/gtest.h>

#include "tests/brand_test_files.h"

namespace {

// An input's directories may list group 101's languages in any order; the
// output lists them in the tree's, so the new images' language must not
// follow the list, or branding the output again would change it.
TEST(ProgramIcon, NewImagesTakeTheLowestGroupLanguageWhateverTheOrder) {
  const Bytes group = MakeIconGroup(std::vector<IconImage>(1), {7});
  std::vector<Resource> list = {TestResource(14, 101, "", 0x4be),
                                TestResource(14, 101, "", 0x409)};
  for (Resource& r : list) r.data = group;
  for (int order = 0; order < 2; ++order) {
    std::vector<Resource> resources = list;
    if (order == 1) std::swap(resources[0], resources[1]);
    std::string error;
    ASSERT_TRUE(ReplaceProgramIcon(&resources, std::vector<IconImage>(2),
                                   &error)) << error;
    std::string keys;
    for (const Resource& r : resources) keys += KeyOf(r) + " ";
    EXPECT_EQ(keys, "3/1/1033 3/2/1033 14/101/" +
                        std::to_string(order ? 1033 : 1214) + " 14/101/" +
                        std::to_string(order ? 1214 : 1033) + " ");
  }
}

}  // namespace
