#version 330 core

in vec2 UV;

layout(location = 0) out vec4 color;

uniform sampler2D originalTexture;
uniform sampler2D blurTexture;

const float glowStrength = 1.2;

void main() {
    vec3 original = textureLod(originalTexture, UV, 0.0).rgb;
    vec3 glow = textureLod(blurTexture, UV, 0.0).rgb;
    color = vec4(min(original + glowStrength * glow, vec3(1.0)), 1.0);
}
