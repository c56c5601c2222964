// File behaviour both platforms share, inside the scratch folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/contract_fixture.h"

namespace corvanel::contract {
namespace {

using namespace platform::win;
using Bytes = std::vector<std::uint8_t>;

class FilesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    folder_ = ContractScratchFolder();
  }
  platform::Files& files() { return sys().files(); }
  std::string At(const std::string& name) const { return folder_ + "\\" + name; }
  std::string folder_;
};

TEST_F(FilesContract, AtomicWriteReplacesTheWholeFile) {
  const Bytes first = {'l', 'o', 'n', 'g', ' ', 't', 'e', 'x', 't', '\r', '\n'};
  const Bytes second = {'s', 'h', 'o', 'r', 't'};
  ASSERT_TRUE(files().WriteFileAtomic(At("user.js"), first));
  Bytes back;
  ASSERT_TRUE(files().ReadFile(At("user.js"), &back));
  EXPECT_EQ(first, back);
  ASSERT_TRUE(files().WriteFileAtomic(At("USER.JS"), second));
  ASSERT_TRUE(files().ReadFile(At("user.js"), &back));
  EXPECT_EQ(second, back);
  ASSERT_TRUE(files().WriteFileAtomic(At("empty"), {}));
  ASSERT_TRUE(files().ReadFile(At("empty"), &back));
  EXPECT_TRUE(back.empty());

  EXPECT_TRUE(files().FileExists(At("user.js")));
  EXPECT_FALSE(files().DirectoryExists(At("user.js")));
  EXPECT_TRUE(files().DirectoryExists(folder_));
  EXPECT_FALSE(files().FileExists(folder_));
  EXPECT_FALSE(files().ReadFile(At("absent"), &back));
  EXPECT_FALSE(files().WriteFileAtomic(At("no folder\\x.txt"), first));
  EXPECT_FALSE(files().FileExists(At("no folder\\x.txt")));
}

// The codes a failed save of user.js is reported with.
TEST_F(FilesContract, FailuresTellTheirError) {
  Bytes back;
  EXPECT_FALSE(files().ReadFile(At("absent"), &back));
  EXPECT_EQ(files().LastError(), kFileNotFound);
  EXPECT_FALSE(files().WriteFileAtomic(At("no folder\\x.txt"), {'x'}));
  EXPECT_EQ(files().LastError(), kPathNotFound);
  ASSERT_TRUE(files().WriteFileAtomic(At("locked.js"), {'a'}));
  const std::uint32_t plain = files().GetAttributes(At("locked.js"));
  ASSERT_TRUE(files().SetAttributes(At("locked.js"), plain | 0x1 /*FILE_ATTRIBUTE_READONLY*/));
  EXPECT_FALSE(files().WriteFileAtomic(At("locked.js"), {'b'}));
  EXPECT_EQ(files().LastError(), kAccessDenied);
  ASSERT_TRUE(files().ReadFile(At("locked.js"), &back));
  EXPECT_EQ(back, Bytes{'a'}) << "a refused write leaves the file as it was";
  EXPECT_FALSE(files().RemoveFile(At("locked.js")));
  EXPECT_EQ(files().LastError(), kAccessDenied);
  ASSERT_TRUE(files().SetAttributes(At("locked.js"), plain));
  EXPECT_TRUE(files().RemoveFile(At("locked.js"))) << files().LastError();
  EXPECT_FALSE(files().FileExists(At("locked.js")));
  EXPECT_FALSE(files().RemoveFile(At("locked.js")));
  EXPECT_EQ(files().LastError(), kFileNotFound);
}

TEST_F(FilesContract, ListMatchesWildcardsWithoutCase) {
  for (const char* name : {"b.lng", "a.lng", "notes.txt", "D.LNG", "long.lng.bak"}) {
    ASSERT_TRUE(files().WriteFileAtomic(At(name), {'x'})) << name;
  }
  struct Row {
    const char* pattern;
    std::vector<std::string> names;  // sorted
  };
  const Row rows[] = {
      {"*.lng", {"D.LNG", "a.lng", "b.lng"}},
      {"*.LNG", {"D.LNG", "a.lng", "b.lng"}},
      {"?.lng", {"D.LNG", "a.lng", "b.lng"}},
      {"*.txt", {"notes.txt"}},
      {"*.none", {}},
  };
  for (const auto& r : rows) {
    auto got = files().List(folder_, r.pattern);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(r.names, got) << r.pattern;
  }
  EXPECT_TRUE(files().List(At("absent"), "*").empty());
}

TEST_F(FilesContract, HiddenAttributeReadsBack) {
  ASSERT_TRUE(files().WriteFileAtomic(At("fav.url"), {'x'}));
  const std::uint32_t plain = files().GetAttributes(At("fav.url"));
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, plain);
  EXPECT_EQ(0u, plain & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));

  ASSERT_TRUE(files().SetAttributes(At("fav.url"), plain | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(plain | FILE_ATTRIBUTE_HIDDEN, files().GetAttributes(At("fav.url")));
  ASSERT_TRUE(files().SetAttributes(At("fav.url"), plain));
  EXPECT_EQ(plain, files().GetAttributes(At("fav.url")));

  EXPECT_NE(0u, files().GetAttributes(folder_) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, files().GetAttributes(At("absent")));
  EXPECT_FALSE(files().SetAttributes(At("absent"), FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(FilesContract, AttributeFailuresTellTheirCode) {
  ASSERT_TRUE(files().WriteFileAtomic(At("there"), {'x'}));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, files().GetAttributes(At("absent")));
  EXPECT_EQ(kFileNotFound, files().LastError());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, files().GetAttributes(At("there")));
  EXPECT_EQ(kSuccess, files().LastError());
  EXPECT_FALSE(files().SetAttributes(At("absent"), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(kFileNotFound, files().LastError());
}

// A junction back to its own folder: it says what it is, and listing it lists the folder,
// itself included, which is why a tree walk must not enter it.
TEST_F(FilesContract, AJunctionReportsItselfAndLeadsToItsTarget) {
  ASSERT_TRUE(files().WriteFileAtomic(At("inside.txt"), {'x'}));
  ASSERT_TRUE(MakeContractJunction(sys(), At("loop"), folder_));
  const std::uint32_t link = files().GetAttributes(At("loop"));
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, link);
  EXPECT_NE(0u, link & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_NE(0u, link & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(0u, files().GetAttributes(folder_) & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(0u, files().GetAttributes(At("inside.txt")) & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_TRUE(files().DirectoryExists(At("loop")));
  EXPECT_TRUE(files().FileExists(At("loop\\inside.txt")));
  auto names = files().List(At("loop"), "*.*");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"inside.txt", "loop"}));
}

}  // namespace
}  // namespace corvanel::contract
