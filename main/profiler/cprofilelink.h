#pragma once

#include <string>

class QUrl;

// What a link of the report asks for, read from the address the browser is
// about to open. Only the last segment of the address counts, and it must
// start with one of the report's own link names, so a function called
// "sortby_calls" is not taken for the column heading.
struct CProfileLink {
    enum Kind { None, Sort, Back, Descend };

    Kind kind = None;
    int sortMode = 0;         // Sort: a CProfileReport::SortMode
    int count = 0;            // Back: how many levels
    std::string key;          // Descend: the node's Index
    std::string description;  // Descend: the trail text, decoded

    static CProfileLink FromUrl(const QUrl& url);
};
