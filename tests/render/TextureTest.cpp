#include "render/Textures.h"
#include "scene/SceneObject.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<std::uint8_t, 3>;

void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int width = 4) {
    for (int i = 0; i < width; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

struct BmpFile {
    int width = 5;
    int height = 3;
    std::uint32_t pixelOffset = 54;
    std::uint32_t sizeField = 0;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::function<Rgb(int, int)> pixel = [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(70 * y),
                   static_cast<std::uint8_t>(200 - 10 * x)};
    };

    std::size_t rowBytes() const { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

    // Rows bottom first, BGR, each padded to 4 bytes with a byte that is not 0.
    std::string bytes() const {
        std::string file(pixelOffset, '\x55');
        file[0] = 'B';
        file[1] = 'M';
        putLittleEndian(file, 10, pixelOffset);
        putLittleEndian(file, 14, 40);
        putLittleEndian(file, 18, static_cast<std::uint32_t>(width));
        putLittleEndian(file, 22, static_cast<std::uint32_t>(height));
        putLittleEndian(file, 26, 1, 2);
        putLittleEndian(file, 28, bitsPerPixel, 2);
        putLittleEndian(file, 30, compression);
        putLittleEndian(file, 34, sizeField);
        for (int y = 0; y < height; ++y) {
            std::string row(rowBytes(), '\x7f');
            for (int x = 0; x < width; ++x) {
                Rgb rgb = pixel(x, y);
                row[3 * x] = static_cast<char>(rgb[2]);
                row[3 * x + 1] = static_cast<char>(rgb[1]);
                row[3 * x + 2] = static_cast<char>(rgb[0]);
            }
            file += row;
        }
        return file;
    }
};

// A DXT1 block of one colour (RGB565) for all 16 texels.
std::string solidDxt1Block(std::uint16_t colour) {
    std::string block(8, '\0');
    putLittleEndian(block, 0, colour, 2);
    putLittleEndian(block, 2, colour, 2);
    return block;
}

constexpr std::uint16_t red565 = 0xF800;
constexpr std::uint16_t blue565 = 0x001F;

std::string ddsHeader(std::uint32_t width, std::uint32_t height, std::uint32_t mipCount,
                      const char* fourCc = "DXT1", std::uint32_t linearSize = 0) {
    std::string header = "DDS " + std::string(124, '\0');
    putLittleEndian(header, 4, 124);
    putLittleEndian(header, 4 + 8, height);
    putLittleEndian(header, 4 + 12, width);
    putLittleEndian(header, 4 + 16, linearSize);
    putLittleEndian(header, 4 + 24, mipCount);
    putLittleEndian(header, 4 + 72, 32);
    putLittleEndian(header, 4 + 76, 4);
    header.replace(4 + 80, 4, fourCc, 4);
    return header;
}

// Writes bytes to a scratch file and opens it the way the game does.
class TextureFileTest : public ::testing::Test {
  protected:
    std::FILE* fileWith(const std::string& bytes) {
        scratch.write("picture", bytes);
        return std::fopen((scratch.path() / "picture").c_str(), "rb");
    }

    GLuint loadBmp(const std::string& bytes) {
        ::testing::internal::CaptureStdout();
        GLuint texture = loadBmpTexture(fileWith(bytes));
        std::fflush(stdout);
        output = ::testing::internal::GetCapturedStdout();
        return texture;
    }

    GLuint loadDds(const std::string& bytes) {
        ::testing::internal::CaptureStdout();
        GLuint texture = loadDdsTexture(fileWith(bytes));
        std::fflush(stdout);
        output = ::testing::internal::GetCapturedStdout();
        return texture;
    }

    static GLint levelParameter(int level, GLenum name) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    static GLint textureParameter(GLenum name) {
        GLint value = -1;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    static std::vector<std::uint8_t> levelPixels(GLuint texture, GLenum format, int channels) {
        glBindTexture(GL_TEXTURE_2D, texture);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(
            levelParameter(0, GL_TEXTURE_WIDTH) * levelParameter(0, GL_TEXTURE_HEIGHT) * channels));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    void expectPicture(GLuint texture, const BmpFile& bmp) {
        ASSERT_NE(texture, 0u);
        glBindTexture(GL_TEXTURE_2D, texture);
        ASSERT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), bmp.width);
        ASSERT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), bmp.height);
        std::vector<std::uint8_t> pixels = levelPixels(texture, GL_RGB, 3);
        for (int y = 0; y < bmp.height; ++y) {
            for (int x = 0; x < bmp.width; ++x) {
                Rgb expected = bmp.pixel(x, y);
                const std::uint8_t* actual =
                    &pixels[static_cast<std::size_t>((y * bmp.width + x) * 3)];
                EXPECT_EQ(Rgb({actual[0], actual[1], actual[2]}), expected) << x << "," << y;
            }
        }
    }

    GlContext gl;
    ScratchDirectory scratch;
    std::string output;
};

using BmpTextureTest = TextureFileTest;

TEST_F(BmpTextureTest, PaddedRowsAreReadBottomFirstWithSizeFieldZero) {
    BmpFile bmp;
    expectPicture(loadBmp(bmp.bytes()), bmp);
    EXPECT_EQ(output, "");
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 1);
}

TEST_F(BmpTextureTest, PixelDataStartsAtTheHeadersOffset) {
    BmpFile bmp;
    bmp.pixelOffset = 138;
    bmp.sizeField = static_cast<std::uint32_t>(bmp.rowBytes() * 3);
    expectPicture(loadBmp(bmp.bytes()), bmp);
}

TEST_F(BmpTextureTest, RowsMatchAfterADdsLoadChangedTheAlignment) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    BmpFile bmp;
    bmp.width = 7;
    expectPicture(loadBmp(bmp.bytes()), bmp);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
}

TEST_F(BmpTextureTest, TopDownRowsAreTurnedOver) {
    BmpFile bmp;
    std::string bytes = bmp.bytes();
    putLittleEndian(bytes, 22, static_cast<std::uint32_t>(-bmp.height));
    BmpFile flipped = bmp;
    flipped.pixel = [&](int x, int y) { return bmp.pixel(x, bmp.height - 1 - y); };
    expectPicture(loadBmp(bytes), flipped);
}

TEST_F(BmpTextureTest, AnythingButPlain24BitIsRefused) {
    BmpFile wrongDepth;
    wrongDepth.bitsPerPixel = 32;
    BmpFile compressed;
    compressed.compression = 1;
    std::string offsetInsideHeader = BmpFile().bytes();
    putLittleEndian(offsetInsideHeader, 10, 20);
    std::string wrongMagic = BmpFile().bytes();
    wrongMagic[0] = 'P';
    std::string hugeWidth = BmpFile().bytes();
    putLittleEndian(hugeWidth, 18, 0x7FFFFFFF);
    std::string zeroHeight = BmpFile().bytes();
    putLittleEndian(zeroHeight, 22, 0);
    for (const std::string& bytes :
         {wrongDepth.bytes(), compressed.bytes(), offsetInsideHeader, wrongMagic, hugeWidth,
          zeroHeight, std::string("BM"), std::string()}) {
        EXPECT_EQ(loadBmp(bytes), 0u);
        EXPECT_EQ(output, "Not a correct BMP file\n");
    }
}

TEST_F(BmpTextureTest, FilesShorterThanTheirPixelsAreRefused) {
    std::string bytes = BmpFile().bytes();
    for (std::size_t cut : {std::size_t{1}, std::size_t{17}, bytes.size() - 60}) {
        EXPECT_EQ(loadBmp(bytes.substr(0, bytes.size() - cut)), 0u) << cut;
        EXPECT_EQ(output, "Not a correct BMP file\n");
    }
    BmpFile farOffset;
    std::string beyondEnd = farOffset.bytes();
    putLittleEndian(beyondEnd, 10, 100000);
    EXPECT_EQ(loadBmp(beyondEnd), 0u);
}

using DdsTextureTest = TextureFileTest;

TEST_F(DdsTextureTest, FiveByThreeDxt1UsesTwoByOneBlocks) {
    GLuint texture =
        loadDds(ddsHeader(5, 3, 1, "DXT1", 16) + solidDxt1Block(red565) + solidDxt1Block(blue565));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 5);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 16);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 0);
    std::vector<std::uint8_t> pixels = levelPixels(texture, GL_RGBA, 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* texel = &pixels[static_cast<std::size_t>((y * 5 + x) * 4)];
            bool inFirstBlock = x < 4;
            EXPECT_EQ(texel[0], inFirstBlock ? 255 : 0) << x << "," << y;
            EXPECT_EQ(texel[2], inFirstBlock ? 0 : 255) << x << "," << y;
        }
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
}

TEST_F(DdsTextureTest, FullChainSetsTheLastLevelAsMaximum) {
    GLuint texture = loadDds(ddsHeader(8, 8, 4) + std::string(4 * 8 + 3 * 8, '\0'));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 3);
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_WIDTH), 1);
}

TEST_F(DdsTextureTest, LevelsMissingAtTheEndAreNotUploaded) {
    // Level 0 (8 x 8) and level 1 (4 x 4) are complete, level 2 has half its bytes.
    GLuint texture = loadDds(ddsHeader(8, 8, 4) + solidDxt1Block(red565) + std::string(24, '\0') +
                             solidDxt1Block(blue565) + std::string(4, '\0'));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 1);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 0);
}

TEST_F(DdsTextureTest, MipCountZeroAndOne) {
    GLuint none = loadDds(ddsHeader(4, 4, 0) + solidDxt1Block(red565));
    ASSERT_NE(none, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 0);

    GLuint one = loadDds(ddsHeader(4, 4, 1) + solidDxt1Block(red565) + solidDxt1Block(blue565));
    ASSERT_NE(one, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 0);
}

TEST_F(DdsTextureTest, Dxt3AndDxt5UseSixteenByteBlocks) {
    for (const char* fourCc : {"DXT3", "DXT5"}) {
        GLuint texture = loadDds(ddsHeader(4, 4, 1, fourCc) + std::string(16, '\0'));
        ASSERT_NE(texture, 0u) << fourCc;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 16) << fourCc;
    }
    GLuint shortFile = loadDds(ddsHeader(4, 4, 1, "DXT5") + std::string(8, '\0'));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 0);
    EXPECT_NE(shortFile, 0u);
}

TEST_F(DdsTextureTest, WrongMagicAndUnknownFormatsGiveZeroQuietly) {
    std::string wrongMagic = ddsHeader(4, 4, 1) + solidDxt1Block(red565);
    wrongMagic[3] = 'X';
    EXPECT_EQ(loadDds(wrongMagic), 0u);
    EXPECT_EQ(output, "");
    EXPECT_EQ(loadDds(ddsHeader(4, 4, 1, "ATI2") + std::string(16, '\0')), 0u);
    EXPECT_EQ(output, "");
    EXPECT_EQ(loadDds("DD"), 0u);
}

TEST_F(DdsTextureTest, TruncatedHeadersAndAbsurdSizesAreRefused) {
    EXPECT_EQ(loadDds(ddsHeader(4, 4, 1).substr(0, 60)), 0u);
    EXPECT_EQ(output, "Not a correct DDS file\n");
    EXPECT_EQ(loadDds(ddsHeader(0x7FFFFFFF, 0x7FFFFFFF, 32) + solidDxt1Block(red565)), 0u);
    EXPECT_EQ(output, "Not a correct DDS file\n");
    EXPECT_EQ(loadDds(ddsHeader(0, 4, 1) + solidDxt1Block(red565)), 0u);
}

TEST_F(TextureFileTest, MissingPicturesPrintTheirMessagesAndGiveZero) {
    WorkingDirectory cwd(scratch.path());
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadBmpFromPath("Models\\absent.bmp"), 0u);
    EXPECT_EQ(loadDdsFromPath("Models/absent.DDS"), 0u);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Image could not be opened: Models\\absent.bmp\n"
              "Models/absent.DDS could not be opened. Are you in the right directory ?\n");
}

TEST_F(TextureFileTest, PathsWithBackslashesOpenTheFile) {
    BmpFile bmp;
    scratch.write("Models/picture.bmp", bmp.bytes());
    scratch.write("Models/sprite.DDS", ddsHeader(4, 4, 1) + solidDxt1Block(red565));
    WorkingDirectory cwd(scratch.path());
    expectPicture(loadBmpFromPath("Models\\picture.bmp"), bmp);
    EXPECT_NE(loadDdsFromPath("Models\\sprite.DDS"), 0u);
}

// Rows: Linear, Nearest Neighbor, off; columns: bilinear, nearest.
constexpr GLint filterTable[3][2][2] = {
    {{GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}, {GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR}},
    {{GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST}, {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST}},
    {{GL_LINEAR, GL_LINEAR}, {GL_NEAREST, GL_NEAREST}},
};

class SamplingSwitchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        glGenTextures(1, &object.diffuseTexture);
        glBindTexture(GL_TEXTURE_2D, object.diffuseTexture);
        std::vector<std::uint8_t> pixels(4 * 4 * 4, 128);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glGenTextures(1, &otherTexture);
        glBindTexture(GL_TEXTURE_2D, otherTexture);
    }

    void expectFilters(GLuint texture, GLint magnification, GLint minification) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, magnification);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, minification);
    }

    GlContext gl;
    SceneObject object;
    GLuint otherTexture = 0;
};

TEST_F(SamplingSwitchTest, TextureFilterAppliesTheColumnTheToggleAnnounces) {
    for (int mode = 0; mode < 3; ++mode) {
        for (bool bilinearBefore : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " bilinear " << bilinearBefore);
            object.setTextureFilter(mode, bilinearBefore);
            const GLint* expected = filterTable[mode][bilinearBefore ? 1 : 0];
            expectFilters(object.diffuseTexture, expected[0], expected[1]);
        }
    }
}

TEST_F(SamplingSwitchTest, MipmapModeStepsToTheNextRow) {
    const int nextMode[3] = {1, 2, 0};
    for (int mode = 0; mode < 3; ++mode) {
        for (bool bilinear : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " bilinear " << bilinear);
            object.setMipmapMode(mode, bilinear);
            const GLint* expected = filterTable[nextMode[mode]][bilinear ? 0 : 1];
            expectFilters(object.diffuseTexture, expected[0], expected[1]);
            GLint smallest = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
            EXPECT_EQ(smallest, 1);
        }
    }
}

TEST_F(SamplingSwitchTest, UnknownModesChangeNothingAndOtherTexturesKeepTheirFilters) {
    object.setTextureFilter(2, false);
    object.setTextureFilter(3, true);
    object.setMipmapMode(-1, true);
    expectFilters(object.diffuseTexture, GL_LINEAR, GL_LINEAR);
    expectFilters(otherTexture, GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR);
}

} // namespace
