#include "support/sort_order.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fixture {
namespace {

// "ascii": bytes; upper case as the DOS driver has it (code page 437:
// accented lower-case letters without a capital lose their accent).
class AsciiOrder : public SortOrder {
 public:
  int compare(std::string_view a, std::string_view b) const override {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  }
  std::string upper(std::string_view text) const override {
    // Pairs of (lower, upper) in code page 437.
    static const std::array<std::pair<std::uint8_t, std::uint8_t>, 25> kDos = {{
        {0x81, 0x9A}, {0x82, 0x90}, {0x83, 'A'}, {0x84, 0x8E}, {0x85, 'A'},
        {0x86, 0x8F}, {0x87, 0x80}, {0x88, 'E'}, {0x89, 'E'},  {0x8A, 'E'},
        {0x8B, 'I'},  {0x8C, 'I'},  {0x8D, 'I'}, {0x91, 0x92}, {0x93, 'O'},
        {0x94, 0x99}, {0x95, 'O'},  {0x96, 'U'}, {0x97, 'U'},  {0x98, 'Y'},
        {0xA0, 'A'},  {0xA1, 'I'},  {0xA2, 'O'}, {0xA3, 'U'},  {0xA4, 0xA5},
    }};
    std::string out(text);
    for (char& c : out) {
      const auto b = static_cast<std::uint8_t>(c);
      if (b >= 'a' && b <= 'z') c = static_cast<char>(b - 0x20);
      for (const auto& [lo, up] : kDos) {
        if (b == lo) c = static_cast<char>(up);
      }
    }
    return out;
  }
};

// Weights of one Windows-1254 byte under the Turkish driver.
struct Weight {
  std::uint8_t primary = 0;
  std::uint8_t secondary = 0;  // 0: the character has no case or accent variants
  std::uint8_t expandsTo = 0;  // second letter of an expanding letter (ä -> a e)
};

class TurkishOrder : public SortOrder {
 public:
  TurkishOrder() {
    // Characters other than letters keep their place in byte order, after
    // the letters they follow.
    for (int b = 0; b < 256; ++b) {
      int p = b;
      if (b >= 91 && b <= 96) p = b + 6;
      if (b >= 123) p = b - 20;
      m_w[static_cast<std::size_t>(b)] = {static_cast<std::uint8_t>(p), 0, 0};
    }
    m_w[215] = {172, 0, 0};  // ×
    m_w[216] = {173, 0, 0};  // Ø
    m_w[247] = {174, 0, 0};  // ÷
    m_w[248] = {175, 0, 0};  // ø
    // The Turkish alphabet with the variants of each letter: the byte, then
    // its rank among texts that differ only there (lower case first).
    struct Letter {
      std::uint8_t primary;
      std::vector<std::pair<std::uint8_t, std::uint8_t>> forms;
    };
    const std::vector<Letter> alphabet = {
        {65,
         {{'a', 1},
          {229, 2},
          {224, 3},
          {226, 4},
          {225, 5},
          {227, 6},
          {230, 7},
          {'A', 8},
          {197, 9},
          {192, 10},
          {194, 11},
          {193, 12},
          {195, 13},
          {198, 14},
          {228, 15},
          {196, 15}}},
        {66, {{'b', 1}, {'B', 2}}},
        {67, {{'c', 1}, {'C', 2}}},
        {68, {{231, 1}, {199, 2}}},  // ç Ç
        {69, {{'d', 1}, {'D', 2}}},
        {70,
         {{'e', 1},
          {233, 2},
          {234, 3},
          {235, 4},
          {232, 5},
          {'E', 6},
          {201, 7},
          {202, 8},
          {203, 9},
          {200, 10}}},
        {71, {{'f', 1}, {'F', 2}}},
        {72, {{'g', 1}, {'G', 2}}},
        {73, {{240, 1}, {208, 2}}},  // ğ Ğ
        {74, {{'h', 1}, {'H', 2}}},
        {75,
         {{253, 1},
          {239, 2},
          {238, 3},
          {237, 4},
          {236, 5},
          {'I', 6},
          {205, 7},
          {206, 8},
          {207, 9},
          {204, 10}}},               // ı ... I ...
        {76, {{'i', 1}, {221, 2}}},  // i İ
        {77, {{'j', 1}, {'J', 2}}},
        {78, {{'k', 1}, {'K', 2}}},
        {79, {{'l', 1}, {'L', 2}}},
        {80, {{'m', 1}, {'M', 2}}},
        {81, {{'n', 1}, {241, 2}, {'N', 3}, {209, 4}}},
        {82,
         {{'o', 1},
          {243, 2},
          {242, 3},
          {244, 4},
          {245, 5},
          {'O', 6},
          {211, 7},
          {212, 8},
          {210, 9},
          {213, 10}}},
        {83, {{246, 1}, {214, 2}}},  // ö Ö
        {84, {{'p', 1}, {'P', 2}}},
        {85, {{'q', 1}, {'Q', 2}}},
        {86, {{'r', 1}, {'R', 2}}},
        {87, {{'s', 1}, {'S', 2}, {223, 3}}},
        {88, {{254, 1}, {222, 2}}},  // ş Ş
        {89, {{'t', 1}, {'T', 2}}},
        {90, {{'u', 1}, {251, 2}, {249, 3}, {250, 4}, {'U', 5}, {218, 6}, {219, 7}, {217, 8}}},
        {91, {{252, 1}, {220, 2}}},  // ü Ü
        {92, {{'v', 1}, {'V', 2}}},
        {93, {{'w', 1}, {'W', 2}}},
        {94, {{'x', 1}, {'X', 2}}},
        {95, {{'y', 1}, {255, 2}, {'Y', 3}}},
        {96, {{'z', 1}, {'Z', 2}}},
    };
    for (const Letter& l : alphabet) {
      for (const auto& [byte, rank] : l.forms) m_w[byte] = {l.primary, rank, 0};
    }
    // Letters that stand for two: ä and Ä for a e, æ and Æ for a e, ß for s s.
    m_w[228].expandsTo = 'e';
    m_w[196].expandsTo = 'E';
    m_w[230].expandsTo = 'e';
    m_w[198].expandsTo = 'E';
    m_w[223].expandsTo = 's';
  }

  int compare(std::string_view a, std::string_view b) const override {
    Cursor ca(*this, a), cb(*this, b);
    int secondary = 0, expansion = 0;
    for (;;) {
      const Weight* wa = ca.next();
      const Weight* wb = cb.next();
      if (wa == nullptr || wb == nullptr) {
        if (wa != wb) return wa == nullptr ? -1 : 1;  // a text before its continuations
        break;
      }
      if (wa->primary != wb->primary) return wa->primary < wb->primary ? -1 : 1;
      if (secondary == 0 && wa->secondary != wb->secondary) {
        secondary = wa->secondary < wb->secondary ? -1 : 1;
      }
      if (expansion == 0 && (wa->expandsTo != 0) != (wb->expandsTo != 0)) {
        expansion = wa->expandsTo != 0 ? 1 : -1;  // ä after "ae"
      }
    }
    return secondary != 0 ? secondary : expansion;
  }

  std::string upper(std::string_view text) const override {
    std::string out(text);
    for (char& c : out) {
      const auto b = static_cast<std::uint8_t>(c);
      if (b == 'i') {
        c = static_cast<char>(221);  // İ
      } else if (b == 253) {
        c = 'I';  // ı
      } else if (b >= 'a' && b <= 'z') {
        c = static_cast<char>(b - 0x20);
      } else if (b >= 224 && b <= 254 && b != 247 && b != 248) {
        c = static_cast<char>(b - 0x20);
      } else if (b == 255) {
        c = 'Y';
      }
    }
    return out;
  }

 private:
  // The weights of a text one after another, an expanding letter giving
  // two: its own and the plain weight of the letter it adds.
  class Cursor {
   public:
    Cursor(const TurkishOrder& order, std::string_view text) : m_order(order), m_text(text) {}
    const Weight* next() {
      if (m_pending != nullptr) {
        const Weight* w = m_pending;
        m_pending = nullptr;
        return w;
      }
      if (m_at == m_text.size()) return nullptr;
      const Weight* w = &m_order.m_w[static_cast<std::uint8_t>(m_text[m_at++])];
      if (w->expandsTo != 0) {
        m_added = {m_order.m_w[w->expandsTo].primary, 0, 0};
        m_pending = &m_added;
      }
      return w;
    }

   private:
    const TurkishOrder& m_order;
    std::string_view m_text;
    std::size_t m_at = 0;
    const Weight* m_pending = nullptr;
    Weight m_added;
  };

  std::array<Weight, 256> m_w{};
};

}  // namespace

const SortOrder* SortOrder::forName(std::string_view driver) {
  static const AsciiOrder kAscii;
  static const TurkishOrder kTurkish;
  if (driver == "ascii") return &kAscii;
  if (driver == "ANTURK") return &kTurkish;
  return nullptr;
}

}  // namespace fixture
