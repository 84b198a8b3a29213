// A Wavefront OBJ model and its MTL materials, read by Debian's tinyobjloader:
// each object ("o", or "g") by its name's role, its faces fanned into
// triangles here (the same triangles whichever release's loader reads them),
// coloured by the vertices' colours or else the material's Kd.
#include <tiny_obj_loader.h>

#include "importModel.h"

namespace
{

std::vector<std::string> lines(const std::string &s)
{
    std::vector<std::string> out;
    for (size_t start = 0, end; start < s.size(); start = end + 1) {
        end = s.find('\n', start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.push_back(s.substr(start, end - start));
    }
    return out;
}

} // namespace

bool loadObj(const std::string &path, bool zUp, importedLevel *level, std::string *error)
{
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    // Vertex colours only where every vertex has them, as Blender writes them.
    bool loaded = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), folder.c_str(),
                                   false, false);
    std::vector<std::string> said = lines(err);
    if (!loaded) return *error = "not OBJ that can be read: " + (said.empty() ? "" : said[0]), false;
    for (const std::string &w : lines(warn))
        level->notes.push_back(w);

    size_t vertices = attrib.vertices.size() / 3;
    bool coloured = attrib.colors.size() == attrib.vertices.size();
    auto corner = [&](int v) {
        const float *p = &attrib.vertices[3 * (size_t)v];
        // Blender's OBJ export turns its +z up into +y and its +y into -z.
        return zUp ? vec3{p[0], p[1], p[2]} : vec3{p[0], -p[2], p[1]};
    };
    for (const tinyobj::shape_t &shape : shapes) {
        std::string where = "object \"" + shape.name + "\"";
        objectRole role = roleFromName(shape.name);
        std::vector<vec3> allCorners;
        int skipped = 0;
        size_t first = 0;
        for (size_t f = 0; f < shape.mesh.num_face_vertices.size();
             first += shape.mesh.num_face_vertices[f++]) {
            size_t n = shape.mesh.num_face_vertices[f];
            if (first + n > shape.mesh.indices.size())
                return *error = where + " has faces past its corners", false;
            int material = f < shape.mesh.material_ids.size() ? shape.mesh.material_ids[f] : -1;
            for (size_t k = 0; k < n; k++) {
                int v = shape.mesh.indices[first + k].vertex_index;
                if (v < 0 || (size_t)v >= vertices)
                    return *error = where + " has a face corner past the " + std::to_string(vertices) +
                                    " vertices",
                           false;
                allCorners.push_back(corner(v));
            }
            if (role != drawnRole && role != collideRole && role != bothRole) continue;
            // OBJ colours are written as seen, sRGB; Blender writes its material's
            // linear base colour as Kd, so that is turned to sRGB as glTF's is.
            auto colourOf = [&](int v, unsigned char out[3]) {
                for (int c = 0; c < 3; c++)
                    out[c] = coloured ? srgbByte(attrib.colors[3 * (size_t)v + c])
                             : material >= 0 && (size_t)material < materials.size()
                                 ? linearToSrgb(materials[material].diffuse[c])
                                 : 255;
            };
            // A fan from the first corner: right for the convex faces Blender
            // writes unless told to triangulate.
            for (size_t k = 1; k + 1 < n; k++) {
                int v[3] = {shape.mesh.indices[first].vertex_index,
                            shape.mesh.indices[first + k].vertex_index,
                            shape.mesh.indices[first + k + 1].vertex_index};
                vec3 at[3];
                unsigned char colour[3][3];
                for (int j = 0; j < 3; j++)
                    at[j] = corner(v[j]), colourOf(v[j], colour[j]);
                skipped += !addTriangle(level, role, at, colour, false);
            }
        }
        if (skipped)
            level->notes.push_back(where + ": " + std::to_string(skipped) + " triangle" +
                                   (skipped == 1 ? "" : "s") + " without area left out");
        if (role == ballRole || role == pinRole || role == cameraRole)
            addPlaced(level, role, placeByBox(shape.name, allCorners));
    }
    return true;
}
