#include "brand/zip_archive.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/brand_test_files.h"

namespace {

// Each case: how the archive is changed, how many bytes go before it, and
// the reason it is refused ("" when it is accepted).
TEST(CheckZipArchive, FindsTheEndRecordAndItsCentralDirectory) {
  const std::string comment = "a PK\x05\x06 in the comment";
  const Bytes zip = TestZip("hello", comment);
  const std::size_t end = zip.size() - comment.size() - 22;  // end record
  const std::tuple<std::function<void(Bytes&)>, std::size_t, const char*>
      cases[] = {
          {[](Bytes&) {}, 0, ""},
          {[](Bytes&) {}, 700, ""},
          {[](Bytes& z) { z = TestZip(""); }, 0, ""},
          {[](Bytes& z) { z.assign(22, 0), PutU32(z, 0, 0x06054b50); }, 0, ""},
          {[](Bytes& z) { z.pop_back(); }, 0, "no end-of-central-directory"},
          {[](Bytes& z) { z.push_back(0); }, 0, "no end-of-central-directory"},
          {[](Bytes& z) { z.resize(21); }, 0, "no end-of-central-directory"},
          {[&](Bytes& z) { PutU32(z, end + 16, 37); }, 9, "outside the file"},
          {[&](Bytes& z) { PutU32(z, end + 12, 2000); }, 0, "outside the file"},
          {[&](Bytes& z) { PutU32(z, end + 12, 48), PutU32(z, end + 16, 35); },
           0, "no central directory"},
          {[&](Bytes& z) { PutU32(z, end - 20, 0x07064b50); }, 0, "zip64"},
      };
  for (const auto& [change, before, reason] : cases) {
    Bytes data(before, 'M'), archive = zip;
    change(archive);
    data.insert(data.end(), archive.begin(), archive.end());
    std::string error;
    EXPECT_EQ(CheckZipArchive(data, before, data.size(), &error), !*reason)
        << before << ": " << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
