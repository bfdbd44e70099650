#pragma once

#include <string>

// The statements the packages dialog sends.
class CPackageStatements {
public:
    // Asks the session to refill the package list (the session sends the
    // form the interpreter understands).
    static std::string ListRequest() { return "pkg describe all;###"; }

    // Prints 1 when the interpreter may install into the system folders
    // (it runs as the superuser, which is also when pkg itself defaults to
    // a global install), else 0.
    static std::string GlobalInstallProbe() { return "disp(geteuid() == 0)"; }
    static bool GlobalInstallAllowed(const std::string& probeAnswer);

    // "pkg install '<file>' -global -verbose;", with "-local" in place of
    // "-global" when not global;
    // empty when the file name cannot stand in a statement.
    static std::string Install(const std::string& file, bool global);
    static std::string Uninstall(const std::string& name) { return Action("uninstall", name); }
    static std::string Load(const std::string& name) { return Action("load", name); }
    static std::string Unload(const std::string& name) { return Action("unload", name); }
    // Loads every installed package; silent when none is installed.
    static std::string LoadAll() { return "cellfun(@(p) pkg('load', p.name), pkg('list'));"; }

private:
    // "pkg <action> <name>" for a plain name; any other name is passed
    // quoted, as "pkg('<action>', '<name>')".
    static std::string Action(const char* action, const std::string& name);
};
