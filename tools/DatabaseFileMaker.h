#pragma once

#include <filesystem>
#include <string>

// The text of shell/schema.sql, compiled in.
extern const char* const kLarderonSchemaSql;

// Makes a new recipe book at target from the schema. An existing target is never touched, not
// even its timestamps, and counts as success; a missing one appears whole or not at all.
// On failure returns false and, when error is given, says why.
bool CreateDatabaseFile(const std::filesystem::path& target, std::string* error);
