#include <iostream>
#include <string>

#include "tools/DatabaseFileMaker.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_db <target>\n";
        return 2;
    }
    std::string error;
    if (!CreateDatabaseFile(argv[1], &error)) {
        std::cerr << "make_db: " << error << '\n';
        return 1;
    }
    return 0;
}
