#version 330 core

// Positions in a fixed 800 x 600 layout, whatever the window size.
layout(location = 0) in vec2 vertexPosition_screenspace;
layout(location = 1) in vec2 vertexUV;

out vec2 UV;

const vec2 halfLayout = vec2(400.0, 300.0);

void main() {
    gl_Position = vec4((vertexPosition_screenspace - halfLayout) / halfLayout, 0.0, 1.0);
    UV = vertexUV;
}
