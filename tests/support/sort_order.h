// How the builder orders alpha values: by the language driver named in the
// table header. "ascii" orders by bytes; "ANTURK" (Windows-1254 Turkish, the
// product's own tables) by the Turkish alphabet (a b c ç d e f g ğ h ı i j k
// l m n o ö p r s ş t u ü v y z), letter case and accents deciding only
// between texts that are otherwise equal (lower case first). Other drivers
// are not known here.
#pragma once

#include <string>
#include <string_view>

namespace fixture {

class SortOrder {
 public:
  // nullptr when the driver is not known.
  static const SortOrder* forName(std::string_view driver);

  // Negative, zero or positive; texts are the stored bytes without padding.
  virtual int compare(std::string_view a, std::string_view b) const = 0;
  // The bytes a case-insensitive index stores for `text`.
  virtual std::string upper(std::string_view text) const = 0;
  virtual ~SortOrder() = default;
};

}  // namespace fixture
