#pragma once

#include <string>

// One variable of the interpreter's workspace, as the workspace answers
// describe it. Texts are UTF-8 bytes as the interpreter wrote them.
struct CInfoVariable {
    enum Kind { Structure = 0, NumericArray = 1, NumericMatrix = 2, Other = 3 };

    std::string name;
    int kind = Other;          // also the image index of the variable's row
    std::string className;     // "double", "uint8", "cell", ...
    std::string size;          // dimensions joined by "x": "2x3x4"
    std::string reserved;      // kept empty
    std::string min;
    std::string max;
    std::string mean;
    std::string median;
    std::string mode;
    std::string var;
    std::string std;
    std::string bytes;

    bool HasStatistics() const { return kind == NumericArray || kind == NumericMatrix; }
};
