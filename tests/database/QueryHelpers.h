#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/Database.h"

// Every value of one column of a query's rows; a failed query fails the calling test.
inline std::vector<std::string> ColumnValues(Database& db, const std::string& sql,
                                             const std::string& field = "v",
                                             const std::vector<SqlValue>& params = {}) {
    std::vector<std::string> values;
    auto records = db.SQLSelect(sql, params);
    EXPECT_TRUE(records) << sql << ": " << db.ErrorMessage();
    for (; records && !records->Eof(); records->MoveNext()) {
        values.push_back(records->Field(field).StringValue());
    }
    EXPECT_FALSE(db.Error()) << sql << ": " << db.ErrorMessage();
    return values;
}

// The column "v" of a query expected to give exactly one row.
inline std::string OneValue(Database& db, const std::string& sql,
                            const std::vector<SqlValue>& params = {}) {
    const std::vector<std::string> values = ColumnValues(db, sql, "v", params);
    EXPECT_EQ(values.size(), 1u) << sql;
    return values.empty() ? std::string("<no row>") : values.front();
}
