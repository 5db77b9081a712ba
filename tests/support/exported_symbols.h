// The names a shared library defines in its dynamic symbol table, as nm
// lists them; the export tests compare them with the designed functions.
#pragma once

#include <cstdio>
#include <set>
#include <string>

inline std::set<std::string> definedDynamicSymbols(const char* library)
{
    std::set<std::string> names;
    std::string command = std::string("nm -D --defined-only ") + library;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        char type = 0;
        char name[400];
        if (sscanf(line, "%*s %c %399s", &type, name) == 2 && (type == 'T' || type == 'D' || type == 'B' || type == 'R'))
            names.insert(name);
    }
    pclose(pipe);
    return names;
}
