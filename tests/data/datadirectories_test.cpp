#include "data/datadirectories.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, AreJoinedExactlyAsTyped) {
  EXPECT_EQ(CompanyDirectory("C:\\ZEFIRTAK\\KMX3\\DATA", "2005_001"),
            "C:\\ZEFIRTAK\\KMX3\\DATA\\2005_001");
  EXPECT_EQ(CompanyDirectory("C:\\DATA\\", "2005_001"), "C:\\DATA\\\\2005_001");
  EXPECT_EQ(CompanyDirectory(" D ", ""), " D \\");
  EXPECT_EQ(TemplateDirectory("C:\\DATA\\"), "C:\\DATA\\\\DBBACKUP");
  EXPECT_EQ(TemplateFile("C:\\DATA", "ayar2.val"), "C:\\DATA\\DBBACKUP\\ayar2.val");
  EXPECT_EQ(CompanyFile("C:\\DATA", "1001", "ayar.Db"), "C:\\DATA\\1001\\ayar.Db");
}

}  // namespace
