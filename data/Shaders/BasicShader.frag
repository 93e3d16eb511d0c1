#version 330 core

in vec2 UV;
in vec3 Position_worldspace;
in vec3 LightDirection_cameraspace;
in vec3 EyeDirection_cameraspace;
in mat3 TangentToCamera;

layout(location = 0) out vec4 color;

uniform sampler2D myTextureSampler;
uniform sampler2D myNormalSampler;
uniform vec3 LightPosition_worldspace;

void main() {
    vec3 diffuseColor = texture(myTextureSampler, UV).rgb;
    vec3 normal_tangentspace = texture(myNormalSampler, UV).rgb * 2.0 - 1.0;
    // A mesh without a normal map samples black; fall back to the smooth normal then.
    if (dot(normal_tangentspace, normal_tangentspace) > 3.0) {
        normal_tangentspace = vec3(0.0, 0.0, 1.0);
    }
    vec3 n = normalize(TangentToCamera * normal_tangentspace);
    vec3 l = normalize(LightDirection_cameraspace);
    vec3 e = normalize(EyeDirection_cameraspace);
    vec3 h = normalize(l + e);

    float lightDistance = length(LightPosition_worldspace - Position_worldspace);
    float falloff = 1.0 / (1.0 + 0.02 * lightDistance + 0.0004 * lightDistance * lightDistance);

    vec3 ambient = 0.3 * diffuseColor;
    vec3 diffuse = diffuseColor * max(dot(n, l), 0.0) * falloff * 1.4;
    vec3 specular = vec3(0.25) * pow(max(dot(n, h), 0.0), 32.0) * falloff;
    color = vec4(ambient + diffuse + specular, 1.0);
}
