#version 330 core

layout(location = 0) in vec3 squareVertex;
// Centre in world space and the edge length of the square.
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec4 particleColor;

out vec2 UV;
out vec4 Color;

uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;

void main() {
    float size = centreAndSize.w;
    // Spanned by the camera's own axes, the square always faces the viewer.
    vec3 position_worldspace = centreAndSize.xyz + CameraRight_worldspace * squareVertex.x * size +
                               CameraUp_worldspace * squareVertex.y * size;
    gl_Position = VP * vec4(position_worldspace, 1.0);
    UV = squareVertex.xy + vec2(0.5, 0.5);
    Color = particleColor;
}
