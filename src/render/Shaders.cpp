#include "render/Shaders.h"

#include "app/Console.h"
#include "render/AssetFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

std::string readTextFile(const std::string& path) {
    std::ifstream stream(nativePath(path), std::ios::binary);
    if (!stream) {
        failStartup("Failed to load file: " + path);
    }
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

namespace {

// The driver may report a length that includes the terminating zero, or 0 for no log.
std::string trimmedLog(std::string log) {
    std::size_t end = log.find('\0');
    if (end != std::string::npos) {
        log.resize(end);
    }
    return log;
}

std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 0)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    return trimmedLog(std::move(log));
}

std::string programLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 0)), '\0');
    glGetProgramInfoLog(program, length, nullptr, log.data());
    return trimmedLog(std::move(log));
}

bool compiles(GLuint shader, const std::string& source) {
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    return status == GL_TRUE && glIsShader(shader) == GL_TRUE;
}

} // namespace

GLuint loadShaders(const std::string& vertexPath, const std::string& fragmentPath) {
    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    if (vertexShader == 0 || fragmentShader == 0) {
        failStartup("Failed to create shader");
    }

    std::string vertexSource = readTextFile(vertexPath);
    std::string fragmentSource = readTextFile(fragmentPath);

    if (!compiles(vertexShader, vertexSource)) {
        failStartup("Failed to compile vertex shader: " + shaderLog(vertexShader));
    }
    if (!compiles(fragmentShader, fragmentSource)) {
        failStartup("Failed to compile fragment shader: " + shaderLog(fragmentShader));
    }

    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        failStartup("Failed to link shader program: " + programLog(program));
    }

    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    return program;
}
