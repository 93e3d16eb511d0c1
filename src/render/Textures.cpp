#include "render/Textures.h"

#include "app/Console.h"
#include "render/AssetFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::size_t bmpHeaderSize = 54;
constexpr std::size_t bmpInfoHeaderMinimum = 40;
constexpr std::size_t ddsHeaderSize = 124;

std::uint32_t readLittleEndian32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t readLittleEndian16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

GLuint rejectBmp() {
    std::printf("Not a correct BMP file\n");
    return 0;
}

struct BmpLayout {
    std::uint32_t pixelOffset;
    int width;
    int height;
    bool topDown;
    std::size_t rowBytes;
};

// Only the plain layout that our pictures use: 24 bits, no compression, sane size.
bool readBmpLayout(const unsigned char (&header)[bmpHeaderSize], BmpLayout& layout) {
    if (header[0] != 'B' || header[1] != 'M') {
        return false;
    }
    layout.pixelOffset = readLittleEndian32(header + 10);
    std::uint32_t infoHeaderSize = readLittleEndian32(header + 14);
    auto width = static_cast<std::int32_t>(readLittleEndian32(header + 18));
    auto height = static_cast<std::int32_t>(readLittleEndian32(header + 22));
    std::uint16_t bitsPerPixel = readLittleEndian16(header + 28);
    std::uint32_t compression = readLittleEndian32(header + 30);
    if (infoHeaderSize < bmpInfoHeaderMinimum || layout.pixelOffset < bmpHeaderSize ||
        bitsPerPixel != 24 || compression != 0) {
        return false;
    }
    // A negative height marks rows stored top first.
    if (width <= 0 || width > maxTextureSide || height == 0 || height < -maxTextureSide ||
        height > maxTextureSide) {
        return false;
    }
    layout.width = width;
    layout.height = std::abs(height);
    layout.topDown = height < 0;
    layout.rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    return true;
}

bool readBmpPixels(std::FILE* file, const BmpLayout& layout, std::vector<unsigned char>& pixels) {
    pixels.resize(layout.rowBytes * static_cast<std::size_t>(layout.height));
    return std::fseek(file, static_cast<long>(layout.pixelOffset), SEEK_SET) == 0 &&
           std::fread(pixels.data(), 1, pixels.size(), file) == pixels.size();
}

void flipRows(std::vector<unsigned char>& pixels, std::size_t rowBytes, int height) {
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                         pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                         pixels.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
    }
}

GLuint uploadBmpPixels(const BmpLayout& layout, const std::vector<unsigned char>& pixels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // BMP rows are padded to 4 bytes; a DDS load may have left the alignment at 1.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, layout.width, layout.height, 0, GL_BGR, GL_UNSIGNED_BYTE,
                 pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

struct DdsLayout {
    GLenum format;
    std::size_t blockBytes;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t levelCount;
};

bool ddsFormat(const unsigned char* fourCc, DdsLayout& layout) {
    if (std::memcmp(fourCc, "DXT1", 4) == 0) {
        layout.format = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        layout.blockBytes = 8;
    } else if (std::memcmp(fourCc, "DXT3", 4) == 0) {
        layout.format = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        layout.blockBytes = 16;
    } else if (std::memcmp(fourCc, "DXT5", 4) == 0) {
        layout.format = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
        layout.blockBytes = 16;
    } else {
        return false;
    }
    return true;
}

std::uint32_t halved(std::uint32_t side) {
    return std::max<std::uint32_t>(1, side / 2);
}

// Levels past the 1 x 1 level would only repeat it.
std::uint32_t fullChainLength(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    for (std::uint32_t side = std::max(width, height); side > 1; side /= 2) {
        ++levels;
    }
    return levels;
}

std::size_t levelBytes(const DdsLayout& layout, std::uint32_t width, std::uint32_t height) {
    return (static_cast<std::size_t>(width) + 3) / 4 *
           ((static_cast<std::size_t>(height) + 3) / 4) * layout.blockBytes;
}

std::size_t chainBytes(const DdsLayout& layout) {
    std::size_t total = 0;
    std::uint32_t width = layout.width;
    std::uint32_t height = layout.height;
    for (std::uint32_t level = 0; level < layout.levelCount; ++level) {
        total += levelBytes(layout, width, height);
        width = halved(width);
        height = halved(height);
    }
    return total;
}

// Uploads the levels whose bytes are all there and returns how many that was.
std::uint32_t uploadDdsLevels(const DdsLayout& layout, const std::vector<unsigned char>& data) {
    std::uint32_t width = layout.width;
    std::uint32_t height = layout.height;
    std::size_t offset = 0;
    std::uint32_t level = 0;
    for (; level < layout.levelCount; ++level) {
        std::size_t size = levelBytes(layout, width, height);
        if (data.size() - offset < size) {
            break;
        }
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), layout.format,
                               static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                               static_cast<GLsizei>(size), data.data() + offset);
        offset += size;
        width = halved(width);
        height = halved(height);
    }
    return level;
}

} // namespace

GLuint loadBmpTexture(std::FILE* file) {
    OwnedFile owned(file);
    unsigned char header[bmpHeaderSize];
    BmpLayout layout{};
    if (std::fread(header, 1, bmpHeaderSize, file) != bmpHeaderSize ||
        !readBmpLayout(header, layout)) {
        return rejectBmp();
    }
    std::vector<unsigned char> pixels;
    if (!readBmpPixels(file, layout, pixels)) {
        return rejectBmp();
    }
    owned.reset();
    if (layout.topDown) {
        flipRows(pixels, layout.rowBytes, layout.height);
    }
    return uploadBmpPixels(layout, pixels);
}

GLuint loadDdsTexture(std::FILE* file) {
    OwnedFile owned(file);
    char magic[4];
    if (std::fread(magic, 1, 4, file) != 4 || std::memcmp(magic, "DDS ", 4) != 0) {
        return 0;
    }
    unsigned char header[ddsHeaderSize];
    if (std::fread(header, 1, ddsHeaderSize, file) != ddsHeaderSize) {
        std::printf("Not a correct DDS file\n");
        return 0;
    }
    DdsLayout layout{};
    if (!ddsFormat(header + 80, layout)) {
        return 0;
    }
    layout.height = readLittleEndian32(header + 8);
    layout.width = readLittleEndian32(header + 12);
    std::uint32_t mipCount = readLittleEndian32(header + 24);
    constexpr auto maxSide = static_cast<std::uint32_t>(maxTextureSide);
    if (layout.width == 0 || layout.height == 0 || layout.width > maxSide ||
        layout.height > maxSide) {
        std::printf("Not a correct DDS file\n");
        return 0;
    }
    layout.levelCount = std::min(mipCount, fullChainLength(layout.width, layout.height));

    std::vector<unsigned char> data(chainBytes(layout));
    data.resize(std::fread(data.data(), 1, data.size(), file));
    owned.reset();

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::uint32_t uploaded = uploadDdsLevels(layout, data);
    // Without this a file that stops short of the 1 x 1 level samples black.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL,
                    static_cast<GLint>(std::max<std::uint32_t>(uploaded, 1) - 1));
    return texture;
}

GLuint loadBmpFromPath(const std::string& assetPath) {
    std::FILE* file = openAsset(assetPath, "rb");
    if (!file) {
        std::printf("Image could not be opened: %s\n", assetPath.c_str());
        return 0;
    }
    return loadBmpTexture(file);
}

GLuint loadDdsFromPath(const std::string& assetPath) {
    std::FILE* file = openAsset(assetPath, "rb");
    if (!file) {
        std::printf("%s could not be opened. Are you in the right directory ?\n",
                    assetPath.c_str());
        waitForCharacter();
        return 0;
    }
    return loadDdsTexture(file);
}
