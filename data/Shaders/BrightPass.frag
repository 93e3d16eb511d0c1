#version 330 core

in vec2 UV;

// 0: the scene unchanged; 1: only what is brighter than the threshold, for the blur.
layout(location = 0) out vec4 original;
layout(location = 1) out vec4 bright;

uniform sampler2D sceneTexture;
uniform float threshold;

void main() {
    vec4 sceneColor = texture(sceneTexture, UV);
    float luminance = dot(sceneColor.rgb, vec3(0.2126, 0.7152, 0.0722));
    // A soft knee keeps the glow from switching on and off along smooth gradients.
    float share = max(luminance - threshold, 0.0) / max(luminance, 1e-4);
    original = sceneColor;
    bright = vec4(sceneColor.rgb * share, 1.0);
}
