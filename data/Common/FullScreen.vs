#version 120
// Every full-screen pass draws the unit quad (x, y in 0..1) over the whole target or window,
// whatever camera the world has.

varying vec2 uv;

void main()
{
    uv = gl_MultiTexCoord0.xy;
    gl_Position = vec4(gl_Vertex.xy * 2.0 - 1.0, 0.0, 1.0);
}
