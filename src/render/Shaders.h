#pragma once

#include <GL/glew.h>
#include <string>

// Whole content of a text file; a file that cannot be opened ends the program.
std::string readTextFile(const std::string& path);

// Compiles and links one program; every failure ends the program with the driver's log.
GLuint loadShaders(const std::string& vertexPath, const std::string& fragmentPath);
