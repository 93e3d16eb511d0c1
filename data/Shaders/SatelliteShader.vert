#version 330 core

layout(location = 0) in vec3 vertexPosition_modelspace;
layout(location = 1) in vec2 vertexUV;
layout(location = 2) in vec3 vertexNormal_modelspace;
layout(location = 3) in vec3 vertexTangent_modelspace;
layout(location = 4) in vec3 vertexBitangent_modelspace;

out vec2 UV;
out vec3 Position_worldspace;
out vec3 LightDirection_tangentspace;
out vec3 SunDirection_tangentspace;
out vec3 EyeDirection_tangentspace;
out vec3 ViewerDirection_tangentspace;
out vec4 Position_lightspace;

uniform mat4 MVP;
uniform mat4 V;
uniform mat4 M;
uniform mat3 MV3x3;
uniform mat4 lightSpaceMatrix;
uniform vec3 LightPosition_worldspace;
uniform vec3 CameraPosition;
uniform vec3 lightPos;
uniform vec3 viewPos;

void main() {
    gl_Position = MVP * vec4(vertexPosition_modelspace, 1.0);
    vec4 position_worldspace = M * vec4(vertexPosition_modelspace, 1.0);
    Position_worldspace = position_worldspace.xyz;
    Position_lightspace = lightSpaceMatrix * position_worldspace;
    UV = vertexUV;

    vec3 position_cameraspace = (V * position_worldspace).xyz;
    vec3 light_cameraspace = (V * vec4(LightPosition_worldspace, 1.0)).xyz;
    vec3 sun_cameraspace = (V * vec4(lightPos, 1.0)).xyz;
    // The ship light follows the normal-mapped family's uniforms, the sun the shadow family's.
    vec3 camera_cameraspace = (V * vec4(CameraPosition, 1.0)).xyz;
    vec3 viewer_cameraspace = (V * vec4(viewPos, 1.0)).xyz;

    vec3 tangent = normalize(MV3x3 * vertexTangent_modelspace);
    vec3 bitangent = normalize(MV3x3 * vertexBitangent_modelspace);
    vec3 normal = normalize(MV3x3 * vertexNormal_modelspace);
    mat3 cameraToTangent = transpose(mat3(tangent, bitangent, normal));

    LightDirection_tangentspace = cameraToTangent * (light_cameraspace - position_cameraspace);
    SunDirection_tangentspace = cameraToTangent * (sun_cameraspace - position_cameraspace);
    EyeDirection_tangentspace = cameraToTangent * (camera_cameraspace - position_cameraspace);
    ViewerDirection_tangentspace = cameraToTangent * (viewer_cameraspace - position_cameraspace);
}
