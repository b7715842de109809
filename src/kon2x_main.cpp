// kon2x: converts a construction file into a DirectX text mesh.
#include "driver/driver.hpp"

int main(int argc, char** argv) {
    return kon2x::run_converter(argc, argv, kon2x::kDirectXMesh);
}
