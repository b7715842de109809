// kon2svg: writes the drawing of a construction file, its three line lists, as SVG.
#include "driver/driver.hpp"

int main(int argc, char** argv) {
    return kon2x::run_converter(argc, argv, kon2x::kSvgDrawing);
}
