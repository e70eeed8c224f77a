// Stands in for the user's browser in the end-to-end tests: appends its command line, one line
// per start, to the file named by LARKSPUR_RECORD.

#include <windows.h>

#include <cstdio>

int main() {
    char file[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LARKSPUR_RECORD", file, MAX_PATH)) return 2;
    FILE* out = std::fopen(file, "a");
    if (!out) return 3;
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
