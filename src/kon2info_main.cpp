// kon2info: the counts of a construction file as JSON, for the page (WebAssembly only).
#include "driver/model_summary.hpp"

int main(int argc, char** argv) {
    return kon2x::print_model_summary(argc, argv);
}
