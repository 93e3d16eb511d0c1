#version 330 core

in vec2 UV;
in vec3 Position_worldspace;
in vec3 LightDirection_tangentspace;
in vec3 EyeDirection_tangentspace;

layout(location = 0) out vec4 color;

uniform sampler2D DiffuseTextureSampler;
uniform sampler2D NormalTextureSampler;
uniform sampler2D SpecularTextureSampler;
uniform vec3 LightPosition_worldspace;

const vec3 lightColor = vec3(1.0, 0.95, 0.9);
const float lightPower = 1.6;

// A missing normal map samples black, which decodes to no sensible normal: stay flat then.
vec3 surfaceNormal() {
    vec3 sampled = texture(NormalTextureSampler, UV).rgb * 2.0 - 1.0;
    return dot(sampled, sampled) > 2.5 ? vec3(0.0, 0.0, 1.0) : normalize(sampled);
}

void main() {
    vec3 diffuseColor = texture(DiffuseTextureSampler, UV).rgb;
    vec3 specularColor = texture(SpecularTextureSampler, UV).rgb;
    vec3 n = surfaceNormal();
    vec3 l = normalize(LightDirection_tangentspace);
    vec3 e = normalize(EyeDirection_tangentspace);
    vec3 h = normalize(l + e);

    // The light travels with the ship: walls a few tens of units away must still be lit.
    float lightDistance = length(LightPosition_worldspace - Position_worldspace);
    float falloff = lightPower / (1.0 + 0.02 * lightDistance + 0.0004 * lightDistance * lightDistance);
    float facing = max(dot(n, l), 0.0);

    vec3 ambient = 0.3 * diffuseColor;
    vec3 diffuse = diffuseColor * lightColor * facing * falloff;
    vec3 specular = specularColor * lightColor * pow(max(dot(n, h), 0.0), 32.0) * falloff *
                    step(0.0, dot(n, l));
    color = vec4(ambient + diffuse + specular, 1.0);
}
