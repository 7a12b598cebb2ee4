// Path texts: whether one names a file, whether a folder lies below a root,
// and the two rules for one folder up.
//
// The two rules differ on purpose. The agent's folders go by the record's
// rule, which keeps a root's backslash: "C:" alone would name the current
// folder of drive C:, not its root. The hand-off's own walk, where the helper
// cannot run, repeats what the helper would have done, so it follows the
// helper's rule (delete/Helper.cpp keeps its own copy, being another program).
#pragma once

#include <windows.h>

#include "Text.h"

// True when the path names an existing file (not a folder).
bool IsFile(const Text& path);
// True for a folder below a drive's root or a network share: never for the
// empty path, C:, C:\, \\server\share or a name without a root.
bool IsBelowRoot(const Text& folder);
// The path's text up to its last "\" or ":", without that "\" unless it
// follows ":" or "\" or stands first: C:\A\B gives C:\A, C:\A gives C:\, and
// C:\ stays C:\.
Text FolderKeepingRoot(const Text& path);
// The helper's rule: the last "\" and what follows it go. C:\A\B gives C:\A,
// then C:, then the empty path.
Text CutAtLastBackslash(const Text& path);
