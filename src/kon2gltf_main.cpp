// kon2gltf: converts a construction file into binary glTF 2.0 (.glb).
#include "driver/driver.hpp"

int main(int argc, char** argv) {
    return kon2x::run_converter(argc, argv, kon2x::kGltfBinary);
}
