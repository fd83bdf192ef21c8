#include "ColladaWriter.h"

#include <cstdio>
#include <string>
#include <unordered_map>

namespace art {

namespace {
// Fixed decimal output; "-0" is folded to "0" so mirrored geometry prints the same.
std::string number(double v) {
    char buffer[32] = {};
    std::snprintf(buffer, sizeof buffer, "%.4f", v);
    std::string s = buffer;
    if (s == "-0.0000") {
        s = "0.0000";
    }
    // Trim trailing zeros to keep the file small.
    while (!s.empty() && s.back() == '0') {
        s.pop_back();
    }
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
    return s;
}

void writeArray(std::ostream& out, const std::string& id, const std::vector<double>& values, int stride,
                const char* const* names) {
    out << "      <source id=\"" << id << "\">\n        <float_array id=\"" << id << "-array\" count=\""
        << values.size() << "\">";
    for (size_t i = 0; i < values.size(); ++i) {
        out << (i % (stride * 4) == 0 ? "\n          " : " ") << number(values[i]);
    }
    out << "\n        </float_array>\n        <technique_common>\n          <accessor source=\"#" << id
        << "-array\" count=\"" << values.size() / stride << "\" stride=\"" << stride << "\">\n";
    for (int i = 0; i < stride; ++i) {
        out << "            <param name=\"" << names[i] << "\" type=\"float\"/>\n";
    }
    out << "          </accessor>\n        </technique_common>\n      </source>\n";
}

void writeImages(std::ostream& out, const std::vector<MaterialMesh>& meshes) {
    out << "  <library_images>\n";
    for (const MaterialMesh& m : meshes) {
        for (const char* map : {"diffuse", "specular", "normal"}) {
            out << "    <image id=\"" << m.material << "_" << map << "-image\" name=\"" << m.material << "_"
                << map << "\">\n      <init_from>" << m.material << "_" << map
                << ".png</init_from>\n    </image>\n";
        }
    }
    out << "  </library_images>\n";
}

void writeEffects(std::ostream& out, const std::vector<MaterialMesh>& meshes) {
    out << "  <library_effects>\n";
    for (const MaterialMesh& m : meshes) {
        const std::string& n = m.material;
        out << "    <effect id=\"" << n << "-effect\">\n      <profile_COMMON>\n";
        for (const char* map : {"diffuse", "specular", "normal"}) {
            const std::string base = n + "_" + map;
            out << "        <newparam sid=\"" << base << "-surface\">\n          <surface type=\"2D\">\n"
                << "            <init_from>" << base << "-image</init_from>\n          </surface>\n"
                << "        </newparam>\n        <newparam sid=\"" << base
                << "-sampler\">\n          <sampler2D>\n"
                << "            <source>" << base << "-surface</source>\n          </sampler2D>\n"
                << "        </newparam>\n";
        }
        out << "        <technique sid=\"common\">\n          <phong>\n"
            << "            <emission><color>0 0 0 1</color></emission>\n"
            << "            <ambient><color>0 0 0 1</color></ambient>\n"
            << "            <diffuse><texture texture=\"" << n
            << "_diffuse-sampler\" texcoord=\"UVSET0\"/></diffuse>\n"
            << "            <specular><texture texture=\"" << n
            << "_specular-sampler\" texcoord=\"UVSET0\"/></specular>\n"
            << "            <shininess><float>" << number(m.shininess) << "</float></shininess>\n"
            << "          </phong>\n          <extra>\n            <technique profile=\"FCOLLADA\">\n"
            << "              <bump><texture texture=\"" << n
            << "_normal-sampler\" texcoord=\"UVSET0\"/></bump>\n"
            << "            </technique>\n          </extra>\n        </technique>\n"
            << "      </profile_COMMON>\n    </effect>\n";
    }
    out << "  </library_effects>\n  <library_materials>\n";
    for (const MaterialMesh& m : meshes) {
        out << "    <material id=\"" << m.material << "-material\" name=\"" << m.material << "\">\n"
            << "      <instance_effect url=\"#" << m.material << "-effect\"/>\n    </material>\n";
    }
    out << "  </library_materials>\n";
}

void writeGeometries(std::ostream& out, const std::vector<MaterialMesh>& meshes) {
    static const char* const xyz[] = {"X", "Y", "Z"};
    static const char* const st[] = {"S", "T"};
    out << "  <library_geometries>\n";
    for (const MaterialMesh& m : meshes) {
        const std::vector<ModelVertex>& vs = m.mesh.vertices();
        // Corners that print identically are written once; triangles index them in order of
        // first use, so the file stays deterministic and about a third smaller.
        std::vector<double> positions, normals, uvs;
        std::vector<size_t> indices;
        std::unordered_map<std::string, size_t> seen;
        for (const ModelVertex& v : vs) {
            const std::string key = number(v.position.x) + " " + number(v.position.y) + " " +
                                    number(v.position.z) + " " + number(v.normal.x) + " " +
                                    number(v.normal.y) + " " + number(v.normal.z) + " " + number(v.uv.x) +
                                    " " + number(v.uv.y);
            const auto found = seen.find(key);
            if (found != seen.end()) {
                indices.push_back(found->second);
                continue;
            }
            const size_t index = positions.size() / 3;
            seen.emplace(key, index);
            indices.push_back(index);
            positions.insert(positions.end(), {v.position.x, v.position.y, v.position.z});
            normals.insert(normals.end(), {v.normal.x, v.normal.y, v.normal.z});
            uvs.insert(uvs.end(), {v.uv.x, v.uv.y});
        }
        const std::string id = m.material + "-mesh";
        out << "    <geometry id=\"" << id << "\" name=\"" << m.material << "\">\n      <mesh>\n";
        writeArray(out, id + "-positions", positions, 3, xyz);
        writeArray(out, id + "-normals", normals, 3, xyz);
        writeArray(out, id + "-uv", uvs, 2, st);
        out << "      <vertices id=\"" << id
            << "-vertices\">\n        <input semantic=\"POSITION\" source=\"#" << id
            << "-positions\"/>\n      </vertices>\n";
        out << "      <triangles material=\"" << m.material << "-symbol\" count=\"" << vs.size() / 3
            << "\">\n"
            << "        <input semantic=\"VERTEX\" source=\"#" << id << "-vertices\" offset=\"0\"/>\n"
            << "        <input semantic=\"NORMAL\" source=\"#" << id << "-normals\" offset=\"0\"/>\n"
            << "        <input semantic=\"TEXCOORD\" source=\"#" << id << "-uv\" offset=\"0\" set=\"0\"/>\n"
            << "        <p>";
        for (size_t i = 0; i < indices.size(); ++i) {
            out << (i % 24 == 0 ? "\n          " : " ") << indices[i];
        }
        out << "\n        </p>\n      </triangles>\n      </mesh>\n    </geometry>\n";
    }
    out << "  </library_geometries>\n";
}

void writeScene(std::ostream& out, const std::vector<MaterialMesh>& meshes) {
    out << "  <library_visual_scenes>\n    <visual_scene id=\"warehouse\" name=\"warehouse\">\n";
    for (const MaterialMesh& m : meshes) {
        out << "      <node id=\"" << m.material << "-node\" name=\"" << m.material << "\">\n"
            << "        <instance_geometry url=\"#" << m.material << "-mesh\">\n"
            << "          <bind_material>\n            <technique_common>\n"
            << "              <instance_material symbol=\"" << m.material << "-symbol\" target=\"#"
            << m.material << "-material\">\n"
            << "                <bind_vertex_input semantic=\"UVSET0\" input_semantic=\"TEXCOORD\" "
               "input_set=\"0\"/>\n"
            << "              </instance_material>\n            </technique_common>\n          "
               "</bind_material>\n"
            << "        </instance_geometry>\n      </node>\n";
    }
    out << "    </visual_scene>\n  </library_visual_scenes>\n"
        << "  <scene>\n    <instance_visual_scene url=\"#warehouse\"/>\n  </scene>\n";
}
}  // namespace

void writeCollada(std::ostream& out, const std::vector<MaterialMesh>& meshes) {
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
        << "  <asset>\n    <contributor>\n      <authoring_tool>Halvane warehousegen</authoring_tool>\n"
        << "    </contributor>\n    <created>2026-01-01T00:00:00Z</created>\n"
        << "    <modified>2026-01-01T00:00:00Z</modified>\n    <unit name=\"meter\" meter=\"1\"/>\n"
        << "    <up_axis>Y_UP</up_axis>\n  </asset>\n";
    writeImages(out, meshes);
    writeEffects(out, meshes);
    writeGeometries(out, meshes);
    writeScene(out, meshes);
    out << "</COLLADA>\n";
}

}  // namespace art
