#version 330 core

in vec2 UV;
in vec3 Position_worldspace;
in vec3 LightDirection_tangentspace;
in vec3 SunDirection_tangentspace;
in vec3 EyeDirection_tangentspace;
in vec3 ViewerDirection_tangentspace;
in vec4 Position_lightspace;

layout(location = 0) out vec4 color;

uniform sampler2D DiffuseTextureSampler;
uniform sampler2D NormalTextureSampler;
uniform sampler2D SpecularTextureSampler;
uniform sampler2DShadow shadowMap;
uniform vec3 LightPosition_worldspace;

const vec3 lightColor = vec3(1.0, 0.95, 0.9);
const float lightPower = 1.6;

vec3 surfaceNormal() {
    vec3 sampled = texture(NormalTextureSampler, UV).rgb * 2.0 - 1.0;
    return dot(sampled, sampled) > 2.5 ? vec3(0.0, 0.0, 1.0) : normalize(sampled);
}

float sunVisibility(float facing) {
    vec3 projected = Position_lightspace.xyz / Position_lightspace.w * 0.5 + 0.5;
    if (Position_lightspace.w <= 0.0 || projected.z > 1.0 ||
        any(lessThan(projected.xy, vec2(0.0))) || any(greaterThan(projected.xy, vec2(1.0)))) {
        return 1.0;
    }
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

vec3 blinnPhong(vec3 n, vec3 l, vec3 e, vec3 diffuseColor, vec3 specularColor) {
    vec3 h = normalize(l + e);
    float facing = max(dot(n, l), 0.0);
    return diffuseColor * facing +
           specularColor * pow(max(dot(n, h), 0.0), 32.0) * step(0.0, dot(n, l));
}

void main() {
    vec3 diffuseColor = texture(DiffuseTextureSampler, UV).rgb;
    vec3 specularColor = texture(SpecularTextureSampler, UV).rgb;
    vec3 n = surfaceNormal();
    vec3 e = normalize(EyeDirection_tangentspace);
    vec3 l = normalize(LightDirection_tangentspace);
    vec3 sun = normalize(SunDirection_tangentspace);

    float lightDistance = length(LightPosition_worldspace - Position_worldspace);
    float falloff = lightPower / (1.0 + 0.02 * lightDistance + 0.0004 * lightDistance * lightDistance);
    float visibility = sunVisibility(max(dot(n, sun), 0.0));

    vec3 ambient = 0.3 * diffuseColor;
    vec3 shipLight = lightColor * falloff * blinnPhong(n, l, e, diffuseColor, specularColor);
    vec3 viewer = normalize(ViewerDirection_tangentspace);
    vec3 sunLight = 0.6 * visibility * blinnPhong(n, sun, viewer, diffuseColor, specularColor);
    color = vec4(ambient + shipLight + sunLight, 1.0);
}
