#pragma once

#include <filesystem>

// Makes dir/larderon_db.rsd from the app's schema and returns its path; throws on failure.
std::filesystem::path MakeTestDatabase(const std::filesystem::path& dir);
