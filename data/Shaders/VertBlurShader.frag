#version 330 core

in vec2 UV;

layout(location = 0) out vec4 color;

uniform sampler2D blurTex;

// One half of a separable 9-tap Gaussian (sigma about 2 texels), applied vertically.
const float weights[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);
const vec2 direction = vec2(0.0, 1.0);

void main() {
    // Level 0 only: the target's other levels are never refreshed.
    vec2 texelStep = direction / vec2(textureSize(blurTex, 0));
    vec3 sum = textureLod(blurTex, UV, 0.0).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        sum += textureLod(blurTex, UV + texelStep * float(i), 0.0).rgb * weights[i];
        sum += textureLod(blurTex, UV - texelStep * float(i), 0.0).rgb * weights[i];
    }
    color = vec4(sum, 1.0);
}
