// Prints the element tree of DICOM files, one line per element, as the
// reader tests do; the benchmarks compare it as a whole process with dcmtk's
// dcmdump. With --parse-only nothing is printed.
//
// Usage: togdicomdump [--parse-only] file...
#include <cstdio>
#include <cstring>
#include <string>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"
#include "tests/dicomlib/dataset_dump.h"

int main(int argc, char** argv) {
    bool print = true;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--parse-only") == 0) {
            print = false;
            continue;
        }
        TogDicomDataset ds;
        const int result = ds.OpenReadingFileByPath(TogString::FromUtf8(argv[i]), true, TogString(), 1);
        if (result != TogDicomLib::ResultSuccess) {
            std::fprintf(stderr, "%s: result %d\n", argv[i], result);
            status = 1;
        }
        if (print) {
            const std::string tree = dataset_dump::Dump(*ds.GetRoot());
            std::fwrite(tree.data(), 1, tree.size(), stdout);
        }
    }
    return status;
}
