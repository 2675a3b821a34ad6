// Writes a tree of junk files for the cleaning benchmark: COUNT files of mixed sizes in nested
// folders, the same tree for the same arguments.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool makeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool writeFile(const std::string& path, const std::vector<char>& bytes, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tidora-bench-make-tree DIR COUNT\n");
        return 2;
    }
    const std::string root = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    if (count <= 0 || !makeFolder(root)) {
        std::fprintf(stderr, "tidora-bench-make-tree: bad count or folder\n");
        return 1;
    }
    // Mostly small files, as temporary folders hold, with a few larger ones.
    static constexpr size_t kSizes[] = {0, 17, 230, 512, 1500, 4096, 700, 64, 9000, 65536};
    const std::vector<char> bytes(65536, 'x');
    constexpr long kPerFolder = 100;
    constexpr long kFoldersPerParent = 30;
    for (long i = 0; i < count; ++i) {
        const long folder = i / kPerFolder;
        const std::string parent = root + "/p" + std::to_string(folder / kFoldersPerParent);
        const std::string dir = parent + "/d" + std::to_string(folder % kFoldersPerParent);
        if (i % kPerFolder == 0 && (!makeFolder(parent) || !makeFolder(dir))) {
            std::fprintf(stderr, "tidora-bench-make-tree: cannot create %s\n", dir.c_str());
            return 1;
        }
        const std::string name = dir + "/f" + std::to_string(i) + (i % 3 ? ".tmp" : ".log");
        if (!writeFile(name, bytes, kSizes[i % (sizeof kSizes / sizeof kSizes[0])])) {
            std::fprintf(stderr, "tidora-bench-make-tree: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
