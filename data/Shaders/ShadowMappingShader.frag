#version 330 core

in vec2 UV;
in vec3 Position_cameraspace;
in vec3 Normal_cameraspace;
in vec3 LightPosition_cameraspace;
in vec3 ViewPosition_cameraspace;
in vec4 Position_lightspace;

layout(location = 0) out vec4 color;

uniform sampler2D myTextureSampler;
uniform sampler2DShadow shadowMap;

// Share of light reaching the point: 3 x 3 comparisons, each already bilinear in hardware.
float lightVisibility(float facing) {
    vec3 projected = Position_lightspace.xyz / Position_lightspace.w * 0.5 + 0.5;
    if (Position_lightspace.w <= 0.0 || projected.z > 1.0 ||
        any(lessThan(projected.xy, vec2(0.0))) || any(greaterThan(projected.xy, vec2(1.0)))) {
        return 1.0;
    }
    // Perspective depth is very dense this far from the light, so the bias stays tiny;
    // surfaces seen edge-on by the light need a little more.
    float bias = mix(2.0e-6, 2.0e-7, facing);
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float lit = 0.0;
    for (int x = -1; x <= 1; ++x) {
        for (int y = -1; y <= 1; ++y) {
            lit += texture(shadowMap, vec3(projected.xy + vec2(x, y) * texel, projected.z - bias));
        }
    }
    return lit / 9.0;
}

void main() {
    vec3 diffuseColor = texture(myTextureSampler, UV).rgb;
    vec3 n = normalize(Normal_cameraspace);
    vec3 l = normalize(LightPosition_cameraspace - Position_cameraspace);
    vec3 e = normalize(ViewPosition_cameraspace - Position_cameraspace);
    vec3 h = normalize(l + e);
    float facing = max(dot(n, l), 0.0);

    float visibility = lightVisibility(facing);
    vec3 ambient = 0.35 * diffuseColor;
    vec3 diffuse = diffuseColor * facing;
    vec3 specular = vec3(0.3) * pow(max(dot(n, h), 0.0), 48.0) * step(0.0, dot(n, l));
    color = vec4(ambient + visibility * (diffuse + specular), 1.0);
}
