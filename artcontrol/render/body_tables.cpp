#include "artcontrol/render/body_tables.h"

#include <array>

namespace tilvo {

namespace {

constexpr std::array<BodyPair, 55> kBodyRemap = {{
    {34, 225},  {63, 214},  {64, 214},  {65, 214},  {73, 29},   {93, 21},   {94, 51},   {97, 225},
    {99, 225},  {100, 225}, {107, 14},  {108, 14},  {109, 14},  {110, 14},  {111, 14},  {112, 14},
    {113, 14},  {114, 200}, {115, 200}, {116, 200}, {117, 200}, {118, 200}, {119, 200}, {120, 200},
    {121, 200}, {129, 8},   {131, 13},  {133, 202}, {134, 206}, {135, 1},   {136, 85},  {137, 86},
    {138, 7},   {139, 7},   {143, 42},  {144, 200}, {145, 95},  {147, 57},  {155, 3},   {158, 16},
    {159, 16},  {161, 14},  {162, 13},  {163, 13},  {165, 58},  {166, 14},  {168, 16},  {170, 220},
    {171, 210}, {172, 797}, {180, 59},  {185, 400}, {186, 401}, {190, 200}, {790, 13},
}};

constexpr std::array<BodyPair, 81> kSecondSetBodies = {{
    {11, 3},    {20, 4},    {28, 5},    {38, 8},    {40, 9},    {43, 11},   {62, 14},   {67, 70},
    {74, 18},   {76, 27},   {77, 19},   {101, 6},   {102, 10},  {103, 12},  {104, 13},  {122, 255},
    {123, 64},  {124, 20},  {125, 21},  {128, 15},  {130, 17},  {132, 123}, {146, 22},  {148, 23},
    {149, 25},  {152, 26},  {153, 24},  {154, 28},  {157, 1},   {173, 2},   {174, 66},  {175, 65},
    {176, 16},  {181, 67},  {182, 30},  {187, 256}, {188, 257}, {189, 31},  {752, 29},  {753, 71},
    {754, 72},  {755, 73},  {756, 75},  {757, 76},  {758, 74},  {763, 77},  {764, 32},  {765, 33},
    {766, 34},  {767, 35},  {768, 36},  {769, 37},  {770, 38},  {771, 39},  {772, 40},  {773, 41},
    {774, 42},  {775, 43},  {776, 44},  {777, 45},  {778, 46},  {779, 47},  {780, 48},  {781, 49},
    {782, 50},  {783, 51},  {784, 52},  {785, 53},  {787, 55},  {788, 56},  {789, 57},  {791, 258},
    {792, 59},  {793, 259}, {794, 260}, {795, 60},  {796, 61},  {797, 62},  {798, 63},  {799, 261},
    {999, 69},
}};

constexpr std::array<BodyPair, 31> kThirdSetBodies = {{
    {300, 300}, {301, 301}, {302, 302}, {303, 303}, {304, 304}, {305, 305}, {306, 306}, {307, 307},
    {308, 308}, {309, 309}, {310, 310}, {311, 311}, {312, 312}, {313, 313}, {314, 314}, {315, 315},
    {316, 316}, {317, 317}, {318, 318}, {319, 319}, {930, 930}, {931, 931}, {932, 932}, {933, 933},
    {934, 934}, {935, 935}, {936, 936}, {937, 937}, {938, 938}, {939, 939}, {940, 940},
}};

// The entry of a body: b × 110 + 1 below a set's threshold, else
// (b − base) × perBody + offset + 1. The thresholds and bases are the
// client's own and not all round (160 rather than 200, 399 rather than 400,
// 123 rather than 122).
struct EntryRule {
  std::int16_t set;
  std::int64_t from;      // first body of the rule
  std::int64_t base;      // subtracted from the body
  std::int64_t perBody;   // entries per body
  std::int64_t offset;    // added before the final 1
};
constexpr EntryRule kEntryRules[] = {
    {art_type::kNpcs, 0, 0, 110, 0},
    {art_type::kNpcs, 160, 200, 65, 22000},
    {art_type::kNpcs, 399, 200, 175, 0},
    {art_type::kNpcsSecondSet, 0, 0, 110, 0},
    {art_type::kNpcsSecondSet, 122, 123, 65, 13420},
    {art_type::kNpcsThirdSet, 0, 0, 110, 0},
    {art_type::kNpcsThirdSet, 929, 200, 175, 0},
};

std::uint32_t EntryFor(std::int16_t set, std::int64_t body) {
  const EntryRule* chosen = nullptr;
  // The last rule of the set whose first body is not above the body.
  for (const EntryRule& rule : kEntryRules) {
    if (rule.set == set && body >= rule.from) chosen = &rule;
  }
  return static_cast<std::uint32_t>((body - chosen->base) * chosen->perBody + chosen->offset + 1);
}

}  // namespace

std::span<const BodyPair> BodyRemap() { return kBodyRemap; }
std::span<const BodyPair> SecondSetBodies() { return kSecondSetBodies; }
std::span<const BodyPair> ThirdSetBodies() { return kThirdSetBodies; }

std::int32_t FindBody(std::span<const BodyPair> table, std::uint32_t body) {
  for (const BodyPair& pair : table) {
    if (pair.body == body) return pair.value;
  }
  return -1;
}

std::uint32_t AnimIndexFor(std::uint32_t body, std::int16_t& artType) {
  std::int64_t b = body;
  if (std::int32_t remapped = FindBody(kBodyRemap, body); remapped >= 0) b = remapped;
  artType = art_type::kNpcs;
  if (std::int32_t second = FindBody(kSecondSetBodies, static_cast<std::uint32_t>(b)); second >= 0) {
    b = second;
    artType = art_type::kNpcsSecondSet;
  } else if (std::int32_t third = FindBody(kThirdSetBodies, static_cast<std::uint32_t>(b)); third >= 0) {
    b = third;
    artType = art_type::kNpcsThirdSet;
  }
  return EntryFor(artType, b);
}

}  // namespace tilvo
