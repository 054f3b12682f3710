// Another run updating a folder: takes the folder's turn, adds page.html (content "first") and tells so by
// making the file named by its second argument; then waits for the file named by its third and either
// commits ("commit", exit status 0, or 1 when the commit fails) or dies holding the turn without tidying
// up ("die"), as a killed program does. The folder update tests start it in a process of its own.
#include "platform/FolderUpdate.h"
#include "platform/PathText.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Bounded, so that a test whose side never answers does not leave this process behind.
bool waitFor(const std::string& path) {
    for (int wait = 0; wait < 6000; ++wait) {
        std::error_code error;
        if (std::filesystem::exists(veskaro::pathOf(path), error))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void makeFile(const std::string& path, const char* text) {
    std::ofstream(veskaro::pathOf(path), std::ios::binary) << text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const std::string folder = argv[1];
    const std::string source = std::string(argv[2]) + ".source";
    makeFile(source, "first");
    // Never destroyed when it dies: the process ends below without its destructors.
    auto* update = new veskaro::FolderUpdate(folder);
    update->add(source, "page.html");
    makeFile(argv[2], "holding");
    if (!waitFor(argv[3]))
        return 3;
    if (std::string(argv[4]) == "die") {
        std::fflush(stdout);
        std::_Exit(0);
    }
    try {
        update->commit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        delete update;
        return 1;
    }
    delete update;
    return 0;
}
