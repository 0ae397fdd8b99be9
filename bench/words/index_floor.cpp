// The floor of a lookup as a whole process: a program that only opens and
// reads the files named (the two index files of the dictionary), in blocks
// of 1 MB, and ends.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

int main(int argc, char** argv) {
    std::vector<char> block(1 << 20);
    for (int i = 1; i < argc; ++i) {
        const int file = open(argv[i], O_RDONLY);
        if (file < 0) return 1;
        while (read(file, block.data(), block.size()) > 0) {
        }
        close(file);
    }
    return 0;
}
