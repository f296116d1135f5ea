// Program entry: the command line when it is asked for, else the window.
#include "commandline.h"

#include <cstdio>

int main(int argc, char** argv) {
    const int Status = zarvo::RunCommandLine(argc, argv);
    if (Status >= 0) return Status;
    std::fprintf(stderr, "Das Programmfenster gibt es in dieser Fassung noch nicht; "
                         "siehe zarvo --help.\n");
    return 1;
}
