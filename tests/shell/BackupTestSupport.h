#pragma once
// Shared by the backup and restore tests: files as bytes, table rows as text, and the two menu
// commands run with the person's answers scripted.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Larderon.h"
#include "support/LarderonHarness.h"

namespace backup_test {

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

// The column "v" of every row.
inline std::vector<std::string> Rows(Database& db, const std::string& sql) {
    std::vector<std::string> rows;
    auto rs = db.SQLSelect(sql);
    for (; rs && !rs->Eof(); rs->MoveNext()) rows.push_back(rs->Field("v").StringValue());
    return rows;
}

inline std::vector<std::string> Categories(Database& db) {
    return Rows(db, "SELECT CategoryId || ':' || Name AS v FROM Category ORDER BY CategoryId");
}

// Name, category id with its storage class (so that one stored as text shows), directions.
inline std::vector<std::string> Recipes(Database& db) {
    return Rows(db,
                "SELECT Name || '|' || CategoryId || ':' || typeof(CategoryId) || '|' || "
                "Directions AS v FROM Recipe ORDER BY RecipeId");
}

// Every row of both tables, keys included, for "nothing changed".
inline std::vector<std::string> Tables(Database& db) {
    auto rows =
        Rows(db, "SELECT quote(CategoryId) || quote(Name) AS v FROM Category ORDER BY CategoryId");
    for (auto& row : Rows(db,
                          "SELECT quote(RecipeId) || quote(Name) || quote(CategoryId) || "
                          "quote(Directions) AS v FROM Recipe ORDER BY RecipeId"))
        rows.push_back(row);
    return rows;
}

inline void Backup(LarderonHarness& h, const std::filesystem::path& file) {
    h.Dialogs().ExpectSaveFile(file);
    EXPECT_TRUE(h.App().DoMenuCommand("FileBackup"));
}

inline void Restore(LarderonHarness& h, const std::filesystem::path& file) {
    h.Dialogs().ExpectOpenFile(file);
    EXPECT_TRUE(h.App().DoMenuCommand("FileRestore"));
}

inline LarderonHarness::Options Seeded(std::function<void(Database&)> seed) {
    return LarderonHarness::Options{true, std::move(seed)};
}

}  // namespace backup_test
