#include "common/jetdb.h"

#include <gtest/gtest.h>

#include "testsupport.h"

using jet::Database;
using jet::Value;

TEST(JetDatabase, OpenCreatesAndReadsTables)
{
    testsupport::TempDir dir;
    {
        Database db = Database::open(dir / "a.mdb", true);
        db.executeNative("CREATE TABLE spieler(nummer INTEGER PRIMARY KEY, name VARCHAR(50) COLLATE NOCASE);"
                         "INSERT INTO spieler(name) VALUES('Müller'),('Schmidt');");
        EXPECT_TRUE(db.hasTable("SPIELER"));
    }
    Database db = Database::open(dir / "a.mdb");
    auto rs = db.query("SELECT * FROM spieler ORDER BY nummer");
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.field("NAME").toString(), "Müller");
    EXPECT_THROW(Database::open(dir / "missing.mdb"), jet::Error);
}
