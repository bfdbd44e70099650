#pragma once

#include <functional>
#include <string>
#include <utility>

// One statement waiting for the request sender: its text and whether it is
// shown in the command window and added to the history. A collected request
// carries the callback that gets its whole answer instead.
struct CSessionRequest {
    using Done = std::function<void(bool ok, std::string answer)>;

    CSessionRequest() = default;
    CSessionRequest(std::string text, bool echo, Done collected = nullptr)
        : text(std::move(text)), echo(echo), collected(std::move(collected))
    {
    }

    std::string text;
    bool echo = false;
    Done collected;
    // Sent by the editor program: its error output and breakpoint answer go
    // back to the editor.
    bool fromEditor = false;
};
