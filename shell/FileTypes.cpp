#include "FileTypes.h"

namespace FileTypes {

std::unique_ptr<fw::FileType> pTextPlain;

void Initialize() {
    pTextPlain = std::make_unique<fw::FileType>();
    pTextPlain->Name = "text/plain";
    pTextPlain->Extensions = ".txt";
    pTextPlain->MacType = "TEXT";
    pTextPlain->MacCreator = "????";
}

void Release() {
    pTextPlain.reset();
}

}  // namespace FileTypes
