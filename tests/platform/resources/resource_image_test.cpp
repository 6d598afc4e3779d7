#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "test_image.h"
#include "test_resource_ids.h"
#include "user/resource_image.h"

using sim::ResourceMiss;
using sim::ResourceName;

namespace {

constexpr std::uint16_t kRtBitmap = 2, kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtString = 6,
                        kRtRcdata = 10, kRtGroupIcon = 14, kRtVersion = 16;

const sim::ResourceEntry* Find(std::uint16_t type, std::uint16_t id, ResourceMiss* miss = nullptr) {
  return test_support::Index().find(ResourceName::number(type), ResourceName::number(id), miss);
}

TEST(ResourceImage, IndexesEveryKindTheScriptDeclares) {
  std::map<std::uint16_t, int> perType;
  for (const auto& entry : test_support::Index().entries())
    if (entry.type.isOrdinal()) ++perType[*entry.type.ordinal];
  EXPECT_EQ(perType[kRtDialog], 2);
  EXPECT_EQ(perType[kRtMenu], 2);
  EXPECT_EQ(perType[kRtIcon], 2);  // the group's two sizes
  EXPECT_EQ(perType[kRtGroupIcon], 1);
  EXPECT_EQ(perType[kRtBitmap], 1);
  EXPECT_EQ(perType[kRtVersion], 1);
  EXPECT_EQ(perType[kRtString], 2);  // blocks 1 and 2501
  EXPECT_EQ(perType[kRtRcdata], 1 + 3 + 2 + 1);

  const auto* dialog = Find(kRtDialog, IDD_CONFIRM);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->language, 0x411);
  EXPECT_FALSE(dialog->data.empty());
}

TEST(ResourceImage, NamedTypesAndNamesCompareIgnoringCase) {
  auto* entry = test_support::Index().find(ResourceName::string(u"customType"), ResourceName::string(u"named_blob"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(test_support::Text(entry->data).substr(0, 5), "named");
  EXPECT_EQ(entry->name.text, u"NAMED_BLOB");  // as the compiler stored it

  ResourceMiss miss{};
  EXPECT_EQ(test_support::Index().find(ResourceName::string(u"CUSTOMTYPE"), ResourceName::number(1), &miss), nullptr);
  EXPECT_EQ(miss, ResourceMiss::Name);
  // A name never matches an ordinal that happens to have the same digits.
  EXPECT_EQ(test_support::Index().find(ResourceName::number(kRtRcdata), ResourceName::string(u"500"), &miss), nullptr);
}

TEST(ResourceImage, PrefersJapaneseThenNeutralThenAnyLanguage) {
  EXPECT_EQ(test_support::Text(Find(kRtRcdata, IDR_LANGUAGES)->data).substr(0, 8), "japanese");
  EXPECT_EQ(test_support::Text(Find(kRtRcdata, IDR_NEUTRAL_ENGLISH)->data).substr(0, 7), "neutral");
  EXPECT_EQ(test_support::Text(Find(kRtRcdata, IDR_ENGLISH_ONLY)->data).substr(0, 7), "english");

  const auto& index = test_support::Index();
  auto rc = ResourceName::number(kRtRcdata);
  EXPECT_EQ(test_support::Text(index.findInLanguage(rc, ResourceName::number(IDR_LANGUAGES), 0x409)->data).substr(0, 7), "english");
  // Asking for the neutral language means "the device's preference".
  EXPECT_EQ(test_support::Text(index.findInLanguage(rc, ResourceName::number(IDR_LANGUAGES), 0)->data).substr(0, 8), "japanese");

  ResourceMiss miss{};
  EXPECT_EQ(index.findInLanguage(rc, ResourceName::number(IDR_ENGLISH_ONLY), 0x411, &miss), nullptr);
  EXPECT_EQ(miss, ResourceMiss::Language);
  EXPECT_EQ(Find(kRtRcdata, 9999, &miss), nullptr);
  EXPECT_EQ(miss, ResourceMiss::Name);
  EXPECT_EQ(Find(12345, 1, &miss), nullptr);
  EXPECT_EQ(miss, ResourceMiss::Type);
}

// Cutting the image anywhere either fails or, exactly at the end of a record (or
// within its padding), gives the records before the cut unchanged. No length may
// make the parser read outside the bytes it was given.
TEST(ResourceImage, EveryTruncationIsRefusedOrAnExactPrefix) {
  auto full = test_support::Image();
  const auto& all = test_support::Index().entries();
  for (std::size_t length = 0; length < full.size(); ++length) {
    auto copy = test_support::Prefix(full, length);
    auto parsed = sim::ParseResourceImage(copy);
    if (!parsed) continue;
    const auto& got = parsed->entries();
    ASSERT_LT(got.size(), all.size()) << "length " << length;
    std::size_t end = length == 0 ? 0 : 32;  // nothing, or the empty leading record
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_TRUE(got[i].type == all[i].type && got[i].name == all[i].name) << "length " << length;
      ASSERT_EQ(got[i].data.size(), all[i].data.size()) << "length " << length;
      EXPECT_EQ(std::memcmp(got[i].data.data(), all[i].data.data(), got[i].data.size()), 0);
      end = static_cast<std::size_t>(got[i].data.data() - copy.data()) + got[i].data.size();
    }
    EXPECT_LT(length - end, 4u) << "a cut inside a record was accepted at length " << length;
  }
}

// Offsets of the second record (the first real one) in the image.
constexpr std::size_t kRecord = 32;

std::vector<unsigned char> WithWord(std::size_t offset, std::uint32_t value) {
  auto copy = test_support::Prefix(test_support::Image(), test_support::Image().size());
  std::memcpy(copy.data() + offset, &value, 4);
  return copy;
}

TEST(ResourceImage, RefusesInconsistentSizes) {
  EXPECT_FALSE(sim::ParseResourceImage(WithWord(kRecord, 0xFFFFFFF0u)));      // data size wraps
  EXPECT_FALSE(sim::ParseResourceImage(WithWord(kRecord + 4, 8)));            // header too short
  EXPECT_FALSE(sim::ParseResourceImage(WithWord(kRecord + 4, 0xFFFFFFFCu)));  // header past the end
  EXPECT_FALSE(sim::ParseResourceImage(WithWord(kRecord + 4, 34)));           // header not aligned

  // A type name without its terminator inside the header runs into the fixed fields.
  auto copy = test_support::Prefix(test_support::Image(), test_support::Image().size());
  std::uint32_t header = 0;
  std::memcpy(&header, copy.data() + kRecord + 4, 4);
  for (std::size_t i = kRecord + 8; i < kRecord + header; i += 2) copy[i] = 'A', copy[i + 1] = 0;
  EXPECT_FALSE(sim::ParseResourceImage(copy));
}

TEST(ResourceImage, RefusesADuplicatedRecord) {
  auto image = test_support::Image();
  std::uint32_t dataSize = 0, headerSize = 0;
  std::memcpy(&dataSize, image.data() + kRecord, 4);
  std::memcpy(&headerSize, image.data() + kRecord + 4, 4);
  std::size_t recordSize = (headerSize + dataSize + 3) / 4 * 4;
  std::vector<unsigned char> twice(image.begin(), image.begin() + kRecord + recordSize);
  twice.insert(twice.end(), image.begin() + kRecord, image.begin() + kRecord + recordSize);
  auto parsed = sim::ParseResourceImage(twice);
  ASSERT_FALSE(parsed);
  EXPECT_NE(parsed.message().find("duplicate"), std::string::npos);
}

}  // namespace
