#pragma once

#include <QString>

#include <string>
#include <vector>

// The statements the search-path dialog sends, and the folder listing of
// "Add with Subfolders".
class CPathStatements {
public:
    // Asks the session to refill the search-path list.
    static std::string ListRequest() { return "path;###"; }

    // "addpath('a','b');###" and "rmpath('a','b');###": one quoted argument
    // per folder, so a folder holding the path separator stays whole. The
    // ";###" end makes the session refresh the list once the statement ran.
    // Empty when folders is empty.
    static std::string AddPath(const std::vector<std::string>& folders);
    static std::string RemovePath(const std::vector<std::string>& folders);

    // Prints one digit per folder, 1 for a folder on the search path. Octave
    // refuses to remove its current folder (also by its full name or "."),
    // so what rmpath did is known only from this answer.
    static std::string OnPathQuery(const std::vector<std::string>& folders);
    // Splits folders by the answer to OnPathQuery(folders): those still on
    // the path into kept, the others into gone. False when no line of the
    // answer holds one digit per folder.
    static bool ReadOnPath(const std::vector<std::string>& folders, const std::string& answer,
                           std::vector<std::string>& kept, std::vector<std::string>& gone);

    // The folders that can be on the interpreter's search path: no line
    // break or NUL (the statement would break) and no path separator ":"
    // (the interpreter splits every argument of addpath there).
    static std::vector<std::string> Usable(const std::vector<std::string>& folders);

    // root first, then every folder below it but hidden ones, depth first in
    // name order.
    // Links to folders are listed but not followed, so a link loop ends.
    static std::vector<std::string> FolderTree(const QString& root);
};
