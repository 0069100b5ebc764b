#pragma once
// The recipe backup file: what a backup writes and how a restore reads it back into the
// database. The menu commands in RecipeBackup.cpp only add the dialogs and messages around this.
//
// The file, line by line: one category name per line in CategoryId order, "#EOT"; then per
// recipe "Name|n", "#BOF", the directions, "#EOF"; then "#EOT". n is the 1-based place of the
// recipe's category among the category lines, which is the CategoryId itself as long as no
// category was ever deleted, so files from before read the same. The category ids themselves
// are not in the file: a restore numbers the categories 1, 2, 3... in file order.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/Database.h"
#include "framework/Files.h"
#include "framework/Text.h"

namespace RecipeBackup {

// "LarderonBackup_yyyymmdd_hhmmss.txt" for the moment given.
std::string DefaultFileName(const fw::Date& when);

// The moment the backup command names its file after. Tests fix it; an empty function puts the
// real clock back.
void UseClock(std::function<fw::Date()> clock);
fw::Date Now();

// Any reason a backup or restore cannot go on; the commands show their fixed messages instead.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes every category and recipe of db to out. The file has no escapes, so a text it cannot
// hold as it is gets written in a safe form instead; the result says, one line per category or
// recipe, what was changed, for the person to read. Throws on any failure of the database or
// the file.
std::vector<std::string> WriteBackup(Database& db, fw::TextOutputStream& out);

// "Backup completed.", followed by the changes when there are any.
std::string CompletedMessage(const std::vector<std::string>& changes);

// Reads a whole backup file and hands over its rows in file order. A recipe's category comes as
// the CategoryId it gets after the restore: its place among the file's categories, or 1 when
// the file has no category at that place. Throws Failure for a file a restore cannot use; rows
// handed over before that must then be dropped by the caller.
void ReadBackup(fw::TextInputStream& in,
                const std::function<void(const std::string& name)>& category,
                const std::function<void(const std::string& name, std::int64_t categoryId,
                                         const std::string& directions)>& recipe);

// Replaces all categories and recipes of db by the file's, in one transaction: on any failure
// the transaction is rolled back, so the tables are as they were, and Failure is thrown.
void RestoreBackup(Database& db, fw::TextInputStream& in);

}  // namespace RecipeBackup
