// The Free Pascal sources installed through the system's package manager: a
// large body of real Object Pascal for corpus tests and benchmarks.
//
// Nothing here depends on GoogleTest, so benchmarks can use it too.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The directory holding rtl/ and packages/ of an installed fpc-source*
// package, asked of dpkg; nullopt when no such package is installed or the
// package manager is missing. When several versions are installed, the one
// whose directory sorts last (normally the newest) is taken. Computed once.
std::optional<std::string> fpcSourceRoot();

// Every regular file below root whose extension is one of extensions (given
// with the dot, compared ignoring ASCII case), sorted by path bytes so that
// runs are repeatable.
std::vector<std::string> fpcSourceFiles(const std::string& root,
                                        const std::vector<std::string>& extensions);

}  // namespace testing_support
