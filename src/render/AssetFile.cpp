#include "render/AssetFile.h"

#include <algorithm>

std::string nativePath(const std::string& assetPath) {
    std::string path = assetPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::FILE* openAsset(const std::string& assetPath, const char* mode) {
    return std::fopen(nativePath(assetPath).c_str(), mode);
}
