#include "support/TempDir.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>

TempDir::TempDir() {
    // mkdtemp picks a name no parallel test run can share.
    const std::string pattern =
        (std::filesystem::temp_directory_path() / "larderon-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder from " + pattern + ": " +
                                 std::strerror(errno));
    }
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
