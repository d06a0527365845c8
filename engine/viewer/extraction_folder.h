#pragma once
// The folder an engine extracts a panorama's embedded files into: "~HV%08x.<process id>/" under
// the temporary folder, from the engine's address and the process id, so that neither two
// engines of one process nor two processes share one. A process that ends without closing its
// panorama (killed outright) leaves its folder behind; the next extraction of any process of the
// same user removes it. Any thread; these touch only the file system.

#include <string>

// The extraction folder of `engine`, ending in "/".
std::string ExtractionFolderFor(const void* engine);

// Removes, with everything in them, the extraction folders under the temporary folder whose
// process no longer runs and that are folders of this user's (not links to one). Every other
// entry, a folder of a running process (this one included) or of another user, a link, a file,
// is left as it is; a folder that cannot be removed is left for a later try.
void RemoveStaleExtractionFolders();
