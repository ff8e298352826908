#version 150 compatibility
// Marching cubes: reads the eight corner values of the cell at the incoming point, looks its
// configuration up in the triangle table and emits each triangle as its own strip. Vertices lie
// where the field crosses the iso level along the cut edges; normals follow the field's gradient.

uniform sampler3D dataFieldTex;
uniform isampler2D triTableTex;
uniform vec4 dataStep;
uniform vec4 vertDecals[8];
uniform float isolevel;

out vec3 eyePosition;
out vec3 eyeNormal;
out vec3 boxPosition;

// The two corners of each edge, in the table's numbering.
const int kEdgeStart[12] = int[12](0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3);
const int kEdgeEnd[12] = int[12](1, 2, 3, 0, 5, 6, 7, 4, 4, 5, 6, 7);

// Sample (x, y, z) stands at 2x/X - 1 and is the centre of texel x.
float Field(vec3 at)
{
    return texture(dataFieldTex, (at + 1.0) * 0.5 + 0.5 * dataStep.xyz).a;
}

// Points from low to high values: out of the surface.
vec3 Gradient(vec3 at)
{
    vec3 d = 2.0 * dataStep.xyz;
    return vec3(Field(at + vec3(d.x, 0.0, 0.0)) - Field(at - vec3(d.x, 0.0, 0.0)),
                Field(at + vec3(0.0, d.y, 0.0)) - Field(at - vec3(0.0, d.y, 0.0)),
                Field(at + vec3(0.0, 0.0, d.z)) - Field(at - vec3(0.0, 0.0, d.z)));
}

int TableEntry(int configuration, int slot)
{
    return texelFetch(triTableTex, ivec2(slot, configuration), 0).a;
}

void main()
{
    vec3 base = gl_in[0].gl_Position.xyz;
    vec3 corner[8];
    float value[8];
    int configuration = 0;
    for (int i = 0; i < 8; ++i) {
        corner[i] = base + vertDecals[i].xyz;
        value[i] = Field(corner[i]);
        if (value[i] < isolevel) configuration |= 1 << i;
    }
    if (configuration == 0 || configuration == 255) return;

    for (int slot = 0; slot < 15; slot += 3) {
        if (TableEntry(configuration, slot) < 0) break;
        for (int k = 0; k < 3; ++k) {
            int edge = TableEntry(configuration, slot + k);
            int a = kEdgeStart[edge];
            int b = kEdgeEnd[edge];
            float span = value[b] - value[a];
            float t = abs(span) > 1e-6 ? clamp((isolevel - value[a]) / span, 0.0, 1.0) : 0.5;
            vec3 at = mix(corner[a], corner[b], t);
            vec4 eye = gl_ModelViewMatrix * vec4(at, 1.0);
            eyePosition = eye.xyz;
            eyeNormal = gl_NormalMatrix * Gradient(at);
            boxPosition = at;
            gl_Position = gl_ProjectionMatrix * eye;
            EmitVertex();
        }
        EndPrimitive();
    }
}
