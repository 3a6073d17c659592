#include "main/form/form1layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A view builds the controls in the table's order: each parent must exist by
// then and hold controls, and every control must fit inside the window.
TEST(Form1Layout, ParentsComeFirstAndEveryControlFitsTheWindow) {
  using form1::Kind;
  std::set<std::string> names;
  for (const form1::Control& c : form1::Controls()) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(names.insert(c.name).second) << "named twice";
    if (*c.parent != '\0') {
      ASSERT_TRUE(names.count(c.parent)) << "parent comes later";
      const Kind parent = form1::Find(c.parent).kind;
      EXPECT_EQ(parent, c.kind == Kind::kButton ? Kind::kButtonRow : Kind::kPanel);
    }
    EXPECT_LE(c.rect.x + c.rect.width, form1::Window().clientWidth);
    EXPECT_LE(c.rect.y + c.rect.height, form1::Window().clientHeight);
  }
  EXPECT_THROW(form1::Find("Edit3"), std::logic_error);
}

}  // namespace
