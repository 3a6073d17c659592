// The small value types the windows' models speak in: pixel points, sizes
// and rectangles in a window's client coordinates, colours, and the keys the
// windows react to. A view converts them to its toolkit's own types.
#pragma once

#include <cstdint>

namespace uimodel {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  // Nothing to draw: no width or no height.
  bool isEmpty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Size&, const Size&) = default;
};

// Covers the pixels x..x+width-1 and y..y+height-1; empty means "not drawn".
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool isEmpty() const { return width <= 0 || height <= 0; }
  Point topLeft() const { return {x, y}; }
  Size size() const { return {width, height}; }
  Rect translated(int dx, int dy) const { return {x + dx, y + dy, width, height}; }
  bool contains(Point p) const {
    return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The keys these windows react to; every other key is Other. Enter stands
// for both the main and the keypad Enter key (character 13).
enum class Key { Other, Space, Enter, Escape, T };

// Modifier keys held with a key, as bits.
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4, kMeta = 8 };

}  // namespace uimodel
