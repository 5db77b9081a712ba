// The names a shared library defines in its dynamic symbol table, as nm
// lists them; the export tests compare them with the designed functions.
#pragma once

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

inline std::set<std::string> definedDynamicSymbols(const char* library)
{
    std::set<std::string> names;
    FILE* pipe = popen((std::string("nm -D --defined-only ") + library).c_str(), "r");
    char line[512], name[400], type = 0;
    while (pipe && fgets(line, sizeof line, pipe))
        if (sscanf(line, "%*s %c %399s", &type, name) == 2 && std::strchr("TDBR", type))
            names.insert(name);
    if (pipe)
        pclose(pipe);
    return names;
}
