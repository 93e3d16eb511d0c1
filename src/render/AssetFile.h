#pragma once

#include <cstdio>
#include <string>

// Asset paths are written with backslashes ("Models\Intro.bmp"); messages keep them as
// written, and only the opening maps them onto this platform's separator.
std::string nativePath(const std::string& assetPath);
std::FILE* openAsset(const std::string& assetPath, const char* mode);
