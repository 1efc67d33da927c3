#pragma once

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace halvora::bench {

// "--quick" asks for a short run.
inline bool quickRun(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--quick") == 0)
            return true;
    return false;
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// One line per figure: "<figure> <value> <unit>".
inline void report(const char* figure, double value, const char* unit) {
    std::printf("%s %.2f %s\n", figure, value, unit);
    std::fflush(stdout);
}

} // namespace halvora::bench
