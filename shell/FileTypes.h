#pragma once
// The file types the app's file dialogs filter by.

#include <memory>

#include "framework/Files.h"

namespace FileTypes {

// Plain text, the recipe backup file's type; exists from start-up to program end.
extern std::unique_ptr<fw::FileType> pTextPlain;

void Initialize();
void Release();

}  // namespace FileTypes
