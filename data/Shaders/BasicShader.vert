#version 330 core

layout(location = 0) in vec3 vertexPosition_modelspace;
layout(location = 1) in vec2 vertexUV;
layout(location = 2) in vec3 vertexNormal_modelspace;
layout(location = 3) in vec3 vertexTangent_modelspace;
layout(location = 4) in vec3 vertexBitangent_modelspace;

out vec2 UV;
out vec3 Position_worldspace;
out vec3 LightDirection_cameraspace;
out vec3 EyeDirection_cameraspace;
out mat3 TangentToCamera;

uniform mat4 MVP;
uniform mat4 V;
uniform mat4 M;
uniform vec3 LightPosition_worldspace;

void main() {
    gl_Position = MVP * vec4(vertexPosition_modelspace, 1.0);
    Position_worldspace = (M * vec4(vertexPosition_modelspace, 1.0)).xyz;

    vec3 position_cameraspace = (V * vec4(Position_worldspace, 1.0)).xyz;
    EyeDirection_cameraspace = -position_cameraspace;
    vec3 light_cameraspace = (V * vec4(LightPosition_worldspace, 1.0)).xyz;
    LightDirection_cameraspace = light_cameraspace - position_cameraspace;

    mat3 modelView = mat3(V * M);
    TangentToCamera = mat3(normalize(modelView * vertexTangent_modelspace),
                           normalize(modelView * vertexBitangent_modelspace),
                           normalize(modelView * vertexNormal_modelspace));
}
