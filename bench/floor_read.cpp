//! @file floor_read.cpp
//! @brief Floor (b) of the benchmark: opening and reading every file a project names once,
//! the least any load of its IP table must do. Reads the list of paths (one per line) that
//! floor_tcl.tcl wrote and prints "floor_read_s S files N bytes B".
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: floor_read NAMED_FILES\n");
        return 2;
    }
    std::vector<std::string> paths;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) paths.push_back(line);

    const auto start = std::chrono::steady_clock::now();
    std::vector<char> buffer(1 << 16);
    unsigned long long bytes = 0;
    std::size_t files = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        ++files;
        for (ssize_t count; (count = ::read(fd, buffer.data(), buffer.size())) > 0;)
            bytes += static_cast<unsigned long long>(count);
        ::close(fd);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("floor_read_s %.3f files %zu bytes %llu\n", elapsed, files, bytes);
    return 0;
}
