#pragma once

#include <string>

// One statement waiting for the request sender: its text and whether it is
// shown in the command window and added to the history.
struct CSessionRequest {
    std::string text;
    bool echo = false;
};
