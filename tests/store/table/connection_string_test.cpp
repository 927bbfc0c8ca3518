#include "store/table/connection.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(ConnectionString, IsTheDriverStringAroundThePath) {
    EXPECT_EQ(Connection::ConnectionString("/home/u/トモリネ.xls"),
              u"Driver={Microsoft Excel Driver (*.xls)};DBQ=/home/u/トモリネ.xls;ReadOnly=0");
}

TEST(ConnectionString, PathOfGivesBackEveryPath) {
    for (const char* path : {"/home/u/トモリネ.xls", "/tmp/a;b.xls", "/tmp/x;ReadOnly=0/y.xls",
                             "/tmp/DBQ=z.xls", "relative/データ.xls", "/"}) {
        EXPECT_EQ(Connection::PathOf(Connection::ConnectionString(path)),
                  std::filesystem::path(path))
            << path;
    }
}

TEST(ConnectionString, PathOfOtherStrings) {
    EXPECT_EQ(Connection::PathOf(u"dbq=/a.xls;readonly=1"), "/a.xls");
    EXPECT_EQ(Connection::PathOf(u"Driver=x;DBQ=/a.xls"), "/a.xls");
    EXPECT_EQ(Connection::PathOf(u"Driver=x;ReadOnly=0"), "");
    EXPECT_EQ(Connection::PathOf(u""), "");
}

} // namespace
} // namespace tomorine
