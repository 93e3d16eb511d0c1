#version 330 core

in vec2 UV;

layout(location = 0) out vec4 color;

uniform sampler2D tex;
uniform float near_plane;
uniform float far_plane;

void main() {
    // Until the planes are sent they read 0; the light's own planes stand in.
    float nearPlane = far_plane > near_plane && near_plane > 0.0 ? near_plane : 0.1;
    float farPlane = far_plane > near_plane && near_plane > 0.0 ? far_plane : 1000.0;
    float depth = texture(tex, UV).r;
    float ndc = depth * 2.0 - 1.0;
    float linearDistance =
        2.0 * nearPlane * farPlane / (farPlane + nearPlane - ndc * (farPlane - nearPlane));
    color = vec4(vec3(linearDistance / farPlane), 1.0);
}
