// File helpers shared by the document tests: folder listings, sparse files,
// removing folders whose files a test made read-only, and the UTF-8 paths of
// the tests as the UTF-16 the editor and the platform take.
#pragma once

#include <string>
#include <vector>

// Names of the entries of a folder, without "." and "..".
std::vector<std::string> folderEntries(const std::string& folder);

// A file of the given size that takes no room: its content is never read.
bool makeSparseFile(const std::string& path, long long size);

// Removes a folder after making its files writable again.
void removeWritableTree(const std::string& folder);

// UTF-8 (the tests' paths and texts) to UTF-16 and back.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
