#version 330 core

layout(location = 0) in vec3 vertexPosition_modelspace;
layout(location = 1) in vec2 vertexUV;
layout(location = 2) in vec3 vertexNormal_modelspace;

out vec2 UV;
out vec3 Position_cameraspace;
out vec3 Normal_cameraspace;
out vec3 LightPosition_cameraspace;
out vec3 ViewPosition_cameraspace;
out vec4 Position_lightspace;

uniform mat4 MVP;
uniform mat4 V;
uniform mat4 M;
uniform mat4 lightSpaceMatrix;
uniform vec3 lightPos;
uniform vec3 viewPos;

void main() {
    gl_Position = MVP * vec4(vertexPosition_modelspace, 1.0);
    vec4 position_worldspace = M * vec4(vertexPosition_modelspace, 1.0);
    Position_cameraspace = (V * position_worldspace).xyz;
    // The inverse transpose keeps normals perpendicular on non-uniformly scaled models.
    Normal_cameraspace = mat3(V) * transpose(inverse(mat3(M))) * vertexNormal_modelspace;
    LightPosition_cameraspace = (V * vec4(lightPos, 1.0)).xyz;
    ViewPosition_cameraspace = (V * vec4(viewPos, 1.0)).xyz;
    Position_lightspace = lightSpaceMatrix * position_worldspace;
    UV = vertexUV;
}
