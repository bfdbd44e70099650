#pragma once

#include <random>
#include <string>
#include <vector>

// Cuts one text into the pieces a reader might hand on.
inline std::vector<std::string> SingleBytes(const std::string& text)
{
    std::vector<std::string> pieces;
    for (char c : text)
        pieces.emplace_back(1, c);
    return pieces;
}

inline std::vector<std::string> RandomPieces(const std::string& text, std::mt19937& random, std::size_t longest)
{
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, longest)(random);
        pieces.push_back(text.substr(at, length));
        at += length;
    }
    return pieces;
}
