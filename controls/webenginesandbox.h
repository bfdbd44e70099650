#pragma once

// The web engine refuses to start its sandbox for the root user. Call this
// at the start of main(), before the QApplication exists: when the process
// runs as root it sets QTWEBENGINE_DISABLE_SANDBOX=1 (unless already set) and
// says so on stderr. Returns true when it turned the sandbox off.
bool DisableWebSandboxForRoot();
