#pragma once
// lirabel3-import run inside the test, as the user runs it, at a time the test chooses.
#include "import/CommandLine.h"

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

// 5 March 2024, 10:15:00 local time.
inline std::time_t march5() {
    std::tm t{};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 10, t.tm_min = 15, t.tm_isdst = -1;
    return std::mktime(&t);
}

struct Run {
    int code;
    std::string out, err;
};

inline Run run(const std::vector<std::string>& args, std::time_t now = march5()) {
    std::ostringstream out, err;
    q7::import::Console console{out, err, false, now};
    const int code = q7::import::runImport(args, console);
    return {code, out.str(), err.str()};
}

inline bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
