// A QWORD setting through the queue against the real registry: written as REG_QWORD,
// read back as its 8 bytes only by a caller that asks for them.
#include <gtest/gtest.h>

#include "engine/setting_queue.h"
#include "platform/win32/win32_platform.h"

namespace corvanel::wine_test {
namespace {

using engine::TRegRecor;
using Bytes = std::vector<std::uint8_t>;

TEST(QwordUnderWine, QueueWritesAndReadsAQword) {
  auto p = platform::MakeWin32Platform();
  const std::string key = "\\Software\\CorvanelTest\\Qword\\";
  engine::TCorvanel queue(*p);
  const Bytes stored{0x95, 0, 0, 0, 0, 0, 0, 0x7F};
  queue.AddRecord(engine::WriteRecord("Q", platform::HKCU, key, "mask", engine::kTypeQword, stored));
  ASSERT_TRUE(queue.Apply().ok());

  TRegRecor r = engine::ReadRecord(platform::HKCU, key, "mask");
  queue.ReadValue(r);
  EXPECT_EQ(r.Status, engine::kStatusFound);
  EXPECT_EQ(r.DataType, engine::kTypeOther);
  EXPECT_TRUE(r.Value.IsEmpty());

  TRegRecor q = engine::ReadRecord(platform::HKCU, key, "mask");
  queue.ReadLatest(q, true);
  EXPECT_EQ(q.DataType, engine::kTypeQword);
  EXPECT_EQ(q.Value, engine::Value(stored));

  engine::TRegistry reg(p->registry());
  reg.SelectRoot(platform::HKCU);
  ASSERT_TRUE(reg.OpenPath(key, false));
  EXPECT_EQ(reg.ReadQword("mask"), 0x7F00000000000095ull);
  EXPECT_THROW(reg.ReadNumber("mask"), engine::RegistryError);
  reg.CloseKey();

  queue.AddRecord(engine::DeleteKeyRecord("D", platform::HKCU, "\\Software\\CorvanelTest\\"));
  ASSERT_TRUE(queue.Apply().ok());
}

}  // namespace
}  // namespace corvanel::wine_test
