// Text form of a model: numbers printed so that they read back exactly.
#include "model_text.hpp"

#include <cstdio>

namespace kon2x::bench {

namespace {

void append_real(std::string& text, double value, int digits) {
    char number[64];
    std::snprintf(number, sizeof number, "%.*g", digits, value);
    text += number;
}

}  // namespace

std::string model_as_text(const ConstructionModel& model) {
    std::string text = "KON;KRUV\nX;Y;Z;R;G;B;Textur;U;V\n";
    for (int k = 0; k < model.point_count; ++k) {
        const PointRecord& p = model.points[static_cast<std::size_t>(k)];
        text += std::to_string(p.x) + ';' + std::to_string(p.y) + ';' + std::to_string(p.z) + ';' +
                std::to_string(p.red) + ';' + std::to_string(p.green) + ';' + std::to_string(p.blue) + ';' +
                std::to_string(p.texture) + ';';
        append_real(text, p.u, 9);
        text += ';';
        append_real(text, p.v, 9);
        text += '\n';
    }
    text += "Flaechen\n";
    for (int f = 0; f < model.face_count; ++f) {
        const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
        for (int i = 0; i < face.vertex_count; ++i) {
            if (i > 0) {
                text += ';';
            }
            text += std::to_string(face.index(i));
        }
        text += '\n';
    }
    text += "ScalX;ScalY;ScalZ;RotX;RotY;RotZ;X;Y;Z\n";
    for (const InstanceRecord& instance : model.instances) {
        for (const double value :
             {double{instance.scale_x}, double{instance.scale_y}, double{instance.scale_z}}) {
            append_real(text, value, 9);
            text += ';';
        }
        for (const double value : {instance.rot_x, instance.rot_y, instance.rot_z}) {
            append_real(text, value, 17);
            text += ';';
        }
        text += std::to_string(instance.x) + ';' + std::to_string(instance.y) + ';' +
                std::to_string(instance.z) + '\n';
    }
    return text;
}

}  // namespace kon2x::bench
