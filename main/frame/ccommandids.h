#pragma once

// Command identifiers of the main window. The numbers are those the main
// menu, toolbar and panes have always used, so settings and user toolbar
// layouts that store them stay valid.
namespace CommandId {
enum : int {
    Open = 57601,
    SaveAs = 57604,
    SaveWorkspaceAs = 32771,
    SetPaths = 32772,
    Packages = 32774,
    Options = 32780,
    Connect = 32770,
    Abort = 32905,
    Print = 57607,
    PrintPreview = 57609,
    Exit = 57665,
    Undo = 57643,
    Redo = 57644,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    FindFiles = 32777,
    ClearCommandWindow = 32778,
    ClearCommandHistory = 32779,
    ClearWorkspace = 32781,
    ZoomIn = 32782,
    ZoomOut = 32783,
    ZoomDefault = 32785,
    ToolBar = 59392,
    StatusBar = 59393,
    Customize = 126,
    LookFirst = 210,
    LookLast = 218,
    OpenEditor = 32784,
    FindHelp = 103,
    HelpPlaceholder = 57636,
    SetCurrentPath = 105,
    DirectoryPlaceholder = 32864,
    BrowseFolder = 32865,
    FolderUp = 32866,
    WindowCommand = 32907,
    WindowHistory = 32908,
    WindowFiles = 32906,
    WindowWorkspace = 32910,
    WindowDocumentation = 32909,
    WindowProfiler = 32911,
    WindowDiff = 32912,
    WindowVariableEditor = 32913,
    WindowEditor = 32914,
    CheckForUpdates = 32775,
    About = 57664,
};
}  // namespace CommandId

// Control identifiers of the docking panes.
namespace PaneId {
enum : int {
    History = 134,
    Files = 133,
    Workspace = 316,
    VariableEditor = 322,
    Profiler = 355,
    Documentation = 326,
    Diff = 333,
    Editor = 354,
};
}  // namespace PaneId
