// The archive tool's three jobs; each reports problems as lines naming the file and the fault.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace yv::pack {

struct BuildOptions {
    std::filesystem::path source;      // the folder whose files become entries
    std::filesystem::path outDir = ".";
    std::string indexName = "Lump.cpn";  // UTF-8
    std::string dataName = "Lump.dat";   // written into the index, relative to the game folder
    int key = 0xA5;
};

// Each returns 0 on success and 1 when something went wrong; `out` gets the report for the
// user, `err` one line per problem.
int build(const BuildOptions& o, std::string& out, std::vector<std::string>& err);
int list(const std::filesystem::path& index, std::string& out, std::vector<std::string>& err);
int extract(const std::filesystem::path& index, const std::filesystem::path& outDir,
            const std::vector<std::string>& names, std::string& out, std::vector<std::string>& err);

}  // namespace yv::pack
