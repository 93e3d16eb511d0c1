#version 330 core

in vec2 UV;
in vec4 Color;

layout(location = 0) out vec4 color;

uniform sampler2D myTextureSampler;

void main() {
    color = texture(myTextureSampler, UV) * Color;
}
