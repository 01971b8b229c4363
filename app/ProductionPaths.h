#pragma once
// Where a production's files are, relative to its folder.

// The script, read through the virtual file layer.
inline constexpr const char* kScriptPath = "data/testscript.scr";
// The soundtrack, the archive and its password are the production's own
// names (ProductionNames).
// The folder of loose data files (--loose), which holds the script.
inline constexpr const char* kLooseDataDir = "data";
