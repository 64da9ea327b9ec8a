// Pictures regenerated through the control from the synthetic clients,
// checked byte for byte against digests of the pictures as they were first
// drawn: one or more per art type, and large map previews with their preview
// items and hidden statics. A change to a decoder, the art cache or the file
// access that moves a single byte fails here. Each client is drawn as both
// generations of clients store it, and mixed, with the same digests.

#include <gtest/gtest.h>

#include <cstdio>

#include "testing/tilvo/composite_test_support.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"
#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/map_client.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;

// FNV-1a over the picture's width, height and bytes.
std::uint64_t Digest(const PixelBuffer& picture) {
  std::uint64_t hash = 0xCBF29CE484222325;
  auto add = [&hash](std::uint8_t byte) { hash = (hash ^ byte) * 0x100000001B3; };
  for (std::int32_t v : {picture.w, picture.h}) {
    for (int shift = 0; shift < 32; shift += 8) add(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> shift));
  }
  for (std::uint8_t byte : picture.bytes) add(byte);
  return hash;
}

std::string Hex(std::uint64_t v) {
  char text[19];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(v));
  return text;
}

// One regeneration: the properties it is drawn with and the digest of its picture.
struct Shot {
  const char* name;
  std::int16_t type;
  std::int32_t index;
  std::int16_t color;
  std::int16_t flags;
  std::int32_t w, h;
  std::int32_t x = 0, y = 0;  // the control's scroll
  std::uint64_t digest;
};

// Draws each shot in turn on one control, so that later shots start from
// the caches the earlier ones left.
void ExpectShots(CTilvoCtrl& ctrl, std::span<const Shot> shots) {
  for (const Shot& s : shots) {
    ctrl.SetObject(s.type, s.index);
    ctrl.SetArtColor(s.color);
    ctrl.SetDrawFlags(s.flags);
    ctrl.SetOffset(s.x, s.y);
    ctrl.OnDraw(Rect{0, 0, s.w, s.h});
    EXPECT_GT(DrawnPixels(ctrl.Picture()), 0) << s.name;  // a background alone would prove little
    EXPECT_EQ(Hex(Digest(ctrl.Picture())), Hex(s.digest)) << s.name;
  }
}

// The client as index and data files, in containers, and mixed: art both
// ways (the old files serve), map 2 from its old file, the gump container's
// name in other letters; and containers with the wide tile data and 16-byte
// multi records.
std::vector<std::pair<const char*, mkclient::ClientFolder>> Generations(const mkclient::ClientFolder& old) {
  mkclient::ClientFolder mixed = mkclient::ContainerTwin(old);
  for (const char* name : {"artidx.mul", "art.mul", "map2.mul"}) {
    if (old.files.contains(name)) mixed.files[name] = old.files.at(name);
  }
  mixed.files.erase("map2LegacyMUL.uop");
  if (mixed.files.contains("gumpartLegacyMUL.uop")) {
    mixed.files["GUMPARTLEGACYMUL.UOP"] = mixed.files.at("gumpartLegacyMUL.uop");
    mixed.files.erase("gumpartLegacyMUL.uop");
  }
  return {{"index and data files", old}, {"containers", mkclient::ContainerTwin(old)}, {"mixed", mixed}};
}

TEST(Regeneration, EveryArtTypeOfTheStandardClient) {
  const Shot shots[] = {
      {"item, hued, on its backdrop", 0, 1, 3, 0x01, 160, 120, 0, 0, 0x239A9E6A6CF71B45},
      {"patched item, scrolled", 0, 3, 0, 0, 96, 56, -13, 7, 0x5EB1176F29496E0D},
      {"item holding a land tile, hued", 0, 16, 5, 0, 96, 56, 0, 0, 0x27F8AE34B6D1E1B9},
      {"item wider than its runs", 0, 6, 0, 0, 96, 56, 0, 0, 0x64E4D1BF4E7B292F},
      {"item cut off by a long run", 0, 7, 0, 0, 96, 56, 0, 0, 0x95AEC48D074C03A8},
      {"NPC of the first set, hued", 1, 1, 2, 0, 64, 32, 0, 0, 0xF1A1F1C59B029504},
      {"NPC of the second set", 1, 122, 0, 0, 64, 32, 0, 0, 0x11DD5A8A0F6A0B91},
      {"NPC of the third set", 1, 935, 0, 0, 64, 32, 5, -3, 0x6BFED35AADB98806},
      {"multi", 2, 1, 0, 0, 160, 160, 0, 0, 0x4A735BF4BACF8405},
      {"gump", 3, 2, 0, 0, 96, 56, 0, 0, 0x3F3E947A83B9B5B5},
      {"land tile", 4, 1, 0, 0, 96, 56, 0, 0, 0xA5091BADC988876C},
      {"patched land tile", 4, 2, 0, 0, 96, 56, 3, 4, 0xF38820BDC3B70A9B},
      {"texture", 5, 1, 0, 0, 96, 80, 0, 0, 0x95EE7FDFB8070EA5},
      {"char test", 6, 1, 0, 0, 32, 32, 0, 0, 0xE7362AC339037CC5},
      {"light", 7, 1, 0, 0, 16, 16, 0, 0, 0xADC54320A38D2D22},
      {"map preview of facet 0", 8, 514, 0, 0x70, 1920, 1080, 0, 0, 0xBE59A584BD9EDF1F},
      {"map preview of facet 2, statics only", 8, 0x60001, 0, 0x60, 640, 480, 40, -30, 0xF7E72AED4CC05704},
      {"item past 0x3FFF", 0, 0x4005, 2, 0, 32, 24, 0, 0, 0xD00C1A7ADC9D5D31},
      {"the highest item", 0, 0xFFF0, 0, 0, 32, 24, 0, 0, 0xB3E01E5142547A65},
      {"multi past 8182", 2, 9000, 0, 0, 160, 160, 0, 0, 0xBECF3DBE5C62446D},
      {"multi cut short", 2, 4, 0, 0, 160, 160, 0, 0, 0x11CEB7229CFB6BC5},
      {"patched multi", 2, 5, 0, 0, 160, 160, 0, 0, 0x651C7867BC334085},
      {"gump with a row past its end", 3, 4, 0, 0, 16, 16, 0, 0, 0xB9AA229F61C9F97B},
      {"gump only in verdata", 3, 6, 0, 0, 16, 16, 0, 0, 0x142FB9A5EC24ED7E},
      {"gump with runs of nothing", 3, 1, 0, 0, 16, 16, 0, 0, 0x894FCBD552F2C916},
  };
  mkclient::ClientOptions wide;
  wide.tileLayout = mkclient::TileLayout::kWideFlags;
  wide.multiRecords = 16;
  std::vector<std::pair<const char*, mkclient::ClientFolder>> clients = Generations(mkclient::StandardClient());
  clients.emplace_back("wide tile data, 16-byte multi records", mkclient::StandardClient(wide));
  wide.containers = true;
  clients.emplace_back("containers, wide tile data", mkclient::StandardClient(wide));
  for (const auto& [name, client] : clients) {
    SCOPED_TRACE(name);
    const testing_support::TempFolder folder;
    std::string error;
    ASSERT_TRUE(client.Write(folder.Path(), error)) << error;
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder.Path());
    ctrl.AddPreviewItem(mkclient::kOrange, 11, 19, -20, 4);
    ctrl.AddPreviewItem(mkclient::kWide, 9, 3, 10, 0);
    ctrl.AddHideStatic(mkclient::kTallMagenta, 0, 6, 1, 0, 3);
    ExpectShots(ctrl, shots);
  }
}

void ExpectFullSizePreviews(const testing_support::TempFolder& folder, std::uint32_t kItems, bool smallCache);

TEST(Regeneration, FullSizeMapPreviewsOfAGeneratedClient) {
  constexpr std::uint32_t kItems = 300;  // 340 distinct art entries
  // The art read anew at every component from each generation; the mixed one only as usual.
  const std::vector<std::pair<const char*, mkclient::ClientFolder>> clients = Generations(mkclient::MapClient(kItems));
  for (std::size_t i = 0; i < clients.size(); ++i) {
    SCOPED_TRACE(clients[i].first);
    const testing_support::TempFolder folder;
    std::string error;
    ASSERT_TRUE(clients[i].second.Write(folder.Path(), error)) << error;
    ExpectFullSizePreviews(folder, kItems, i < 2);
  }
}

void ExpectFullSizePreviews(const testing_support::TempFolder& folder, std::uint32_t kItems, bool smallCache) {
  const auto centre = static_cast<std::int32_t>(mkclient::kMapClientCentre);
  const Shot scrolled = {"640 x 480 scrolled, every layer", 8, centre + 1, 0, 0x70, 640, 480, -100, 60, 0xD321A7CFB6B6DCD8};
  const Shot shots[] = {
      {"1920 x 1080, every layer", 8, centre, 0, 0x70, 1920, 1080, 0, 0, 0x2563EA9C97E20C4F},
      scrolled,
      {"1920 x 1080 again, statics and preview items", 8, centre, 0, 0x60, 1920, 1080, 0, 0, 0x2DDF6F66BAF481D9},
  };
  // The same pictures whether the art comes from the cache or, with a cache
  // too small for a few entries, from the files at every component.
  for (const std::size_t limit : {kDefaultArtCacheBytes, std::size_t{16} << 10}) {
    if (limit != kDefaultArtCacheBytes && !smallCache) continue;
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder.Path());
    ctrl.SetArtCacheLimit(limit);
    for (const mkclient::MapPreviewItem& p : mkclient::MapClientPreviewItems(kItems)) {
      ctrl.AddPreviewItem(static_cast<std::int16_t>(p.id), p.x, p.y, p.z, static_cast<std::int16_t>(p.color));
    }
    for (const mkclient::MapHiddenStatic& s : mkclient::MapClientHiddenStatics(kItems)) {
      ctrl.AddHideStatic(static_cast<std::int16_t>(s.id), static_cast<std::int32_t>(s.block), s.x, s.y, s.z,
                         static_cast<std::int16_t>(s.color));
    }
    if (limit == kDefaultArtCacheBytes) {
      ExpectShots(ctrl, shots);
    } else {
      ExpectShots(ctrl, {&scrolled, 1});
    }
  }
}

}  // namespace
}  // namespace tilvo
