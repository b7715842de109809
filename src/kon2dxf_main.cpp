// kon2dxf: writes the drawing of a construction file, its three line lists, as DXF.
#include "driver/driver.hpp"

int main(int argc, char** argv) {
    return kon2x::run_converter(argc, argv, kon2x::kDxfDrawing);
}
