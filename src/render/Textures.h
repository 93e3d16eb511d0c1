#pragma once

#include <GL/glew.h>
#include <cstdio>
#include <string>

// Pictures wider or taller than this are taken for broken files.
constexpr int maxTextureSide = 16384;

// Uncompressed 24-bit BMP into a mipmapped texture; 0 with a message for any other file.
// Takes a file opened with mode "rb" and always closes it.
GLuint loadBmpTexture(std::FILE* file);

// DXT1, DXT3 or DXT5 DDS with its mip levels; only levels that the file holds completely
// are uploaded, and the texture's maximum level is the last of them. Always closes the file.
GLuint loadDdsTexture(std::FILE* file);

// Open and load; a missing picture prints its message and gives texture 0.
GLuint loadBmpFromPath(const std::string& assetPath);
// A missing DDS prints its message and waits for one character before going on with 0.
GLuint loadDdsFromPath(const std::string& assetPath);
