// The shared library's interface: exactly the eleven plain names, nothing else of its own.
#include "portline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include <dlfcn.h>

namespace {

const std::set<std::string> kExports = {
    "OpenPort",
    "SetupPort",
    "ClosePort",
    "ReadAllPort",
    "ClearPort",
    "WriteSendData",
    "SetDTR",
    "SetRTS",
    "QuillReadLoadCell",
    "QuillWriteLoadCell",
    "QuillReadLoadCellValue",
};

// Symbols the library defines in its dynamic symbol table.
std::set<std::string> DefinedDynamicSymbols() {
    std::set<std::string> names;
    std::string command = std::string("nm -D --defined-only '") + PORTLINE_LIBRARY_FILE + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) names.insert(name);
    }
    pclose(pipe);
    return names;
}

TEST(Exports, TheDynamicSymbolTableHoldsTheElevenNamesAndNothingElse) {
    std::set<std::string> defined = DefinedDynamicSymbols();
    ASSERT_FALSE(defined.empty()) << "nm gave nothing for " << PORTLINE_LIBRARY_FILE;
    EXPECT_EQ(defined, kExports);
}

TEST(Exports, EveryNameResolvesUndecorated) {
    void* library = dlopen(PORTLINE_LIBRARY_FILE, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr) << dlerror(); // already loaded: this test links it
    for (const std::string& name : kExports)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
    dlclose(library);
}

TEST(Exports, CallsThroughTheSharedLibrary) {
    EXPECT_EQ(OpenPort("/dev/portline-no-such-port", "9600,n,8,1", 1), 0);
    EXPECT_EQ(SetupPort("9600,n,8,1"), 1);
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(SetDTR(1), 1);
    EXPECT_EQ(SetRTS(0), 1);
    EXPECT_STREQ(WriteSendData("x"), "");
    EXPECT_EQ(QuillReadLoadCell(1), 0);
    EXPECT_EQ(QuillReadLoadCellValue(1), -65535);
    EXPECT_EQ(QuillWriteLoadCell(1), 0);
}

} // namespace
