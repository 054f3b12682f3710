// A run of the program that claims its work folders below the application data folder named by its
// argument, puts a file into each and then dies without tidying up, as a killed program does. Prints the
// run's name. The folder tests start it where fork is not there (Windows).
#include "platform/Places.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    // Never destroyed: the process ends below without its destructors, and the system closes its handles.
    auto* places = new veskaro::Places({"", "", argv[1], "", "", ""});
    for (const std::string& folder : {places->GetPreviewFolder(), places->GetTempFolder(), places->GetStagingFolder()})
        std::ofstream(folder + "slider0.jpg", std::ios::binary) << "prepared";
    std::printf("%s", places->runName().c_str());
    std::fflush(stdout);
    std::_Exit(0);
}
