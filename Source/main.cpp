// zrm-render: a DICOM file or DICOMDIR image rendered to a bitmap file.
#include "Source/zebrenderprogram.h"

int main(int argc, char** argv) { return RenderProgramMain(argc, argv); }
