#include "support/TestDatabase.h"

#include <stdexcept>
#include <string>

#include "tools/DatabaseFileMaker.h"

std::filesystem::path MakeTestDatabase(const std::filesystem::path& dir) {
    const std::filesystem::path file = dir / "larderon_db.rsd";
    // A leftover file would be kept as it is, so a test could silently run on stale data.
    if (std::filesystem::exists(file)) {
        throw std::runtime_error("test database already exists: " + file.string());
    }
    std::string error;
    if (!CreateDatabaseFile(file, &error)) {
        throw std::runtime_error("cannot make the test database: " + error);
    }
    return file;
}
