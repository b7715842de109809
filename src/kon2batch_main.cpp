// kon2batch: converts every construction file in the files and folders given.
#include "batch/batch.hpp"

int main(int argc, char** argv) {
    return kon2x::run_batch(argc, argv);
}
