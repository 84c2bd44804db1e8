// Reads the kernel set's object files back with binutils: no processor level
// may use an instruction above its own level, none may use VEX encodings or
// MMX registers, no level may export code with vague linkage (the linker
// could keep one level's copy for every level), and no kernel calls the C
// library's memory routines.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ObjectFiles() {
    std::vector<std::string> files;
    std::stringstream list(JPEGKERNELS_OBJECTS);
    std::string file;
    while (std::getline(list, file, '|')) {
        if (!file.empty()) files.push_back(file);
    }
    return files;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

// Processor level of an object from its source file's suffix; 0 without one.
int LevelOf(const std::string& object) {
    const std::pair<const char*, int> suffixes[] = {
        {"_mmx.cpp.o", 1}, {"_sse2.cpp.o", 2}, {"_sse3.cpp.o", 3}, {"_ssse3.cpp.o", 4}, {"_sse41.cpp.o", 5}};
    for (auto [suffix, level] : suffixes) {
        const std::string s = suffix;
        if (object.size() >= s.size() && object.compare(object.size() - s.size(), s.size(), s) == 0) return level;
    }
    return 0;
}

// The lowest level that may use an instruction, by mnemonic (AT&T spelling,
// size suffixes included where objdump adds them).
int RequiredLevel(const std::string& m) {
    static const std::set<std::string> sse3 = {"addsubpd", "addsubps", "haddpd", "haddps", "hsubpd", "hsubps",
                                               "lddqu", "movddup", "movshdup", "movsldup", "monitor", "mwait",
                                               "fisttp", "fisttps", "fisttpl", "fisttpll"};
    static const std::set<std::string> ssse3 = {"pabsb", "pabsw", "pabsd", "palignr", "phaddw", "phaddd", "phaddsw",
                                                "phsubw", "phsubd", "phsubsw", "pmaddubsw", "pmulhrsw", "pshufb",
                                                "psignb", "psignw", "psignd"};
    static const std::set<std::string> sse41 = {
        "blendpd", "blendps", "blendvpd", "blendvps", "dppd", "dpps", "extractps", "insertps", "movntdqa",
        "mpsadbw", "packusdw", "pblendvb", "pblendw", "pcmpeqq", "pextrb", "pextrd", "pextrq", "phminposuw",
        "pinsrb", "pinsrd", "pinsrq", "pmaxsb", "pmaxsd", "pmaxuw", "pmaxud", "pminsb", "pminsd", "pminuw",
        "pminud", "pmuldq", "pmulld", "ptest", "roundpd", "roundps", "roundsd", "roundss"};
    if (sse3.count(m)) return 3;
    if (ssse3.count(m)) return 4;
    if (sse41.count(m) || m.rfind("pmovsx", 0) == 0 || m.rfind("pmovzx", 0) == 0) return 5;
    // SSE4.2 and the later scalar extensions: no level may use them.
    static const std::set<std::string> never = {"pcmpgtq", "pcmpestri", "pcmpestrm", "pcmpistri", "pcmpistrm",
                                                "popcnt", "lzcnt", "tzcnt", "andn", "bextr", "blsi", "blsr",
                                                "blsmsk", "bzhi", "mulx", "pdep", "pext", "rorx", "sarx", "shlx",
                                                "shrx", "movbe", "adcx", "adox", "emms"};
    if (never.count(m) || m.rfind("crc32", 0) == 0) return 99;
    // VEX and EVEX encodings (every such mnemonic starts with v).
    if (!m.empty() && m[0] == 'v' && m != "verr" && m != "verw") return 99;
    return 0;
}

struct Instruction {
    std::string mnemonic;
    std::string operands;
    std::string line;
};

std::vector<Instruction> Disassemble(const std::string& object) {
    std::vector<Instruction> result;
    std::stringstream text(RunCommand(std::string(JPEGKERNELS_OBJDUMP) + " -d -r --no-show-raw-insn '" + object + "'"));
    // "  1a:\tmovdqa %xmm0,(%rdi)" and relocation lines "\t\t\t1b: R_X86_64_PLT32\tmemset-0x4"
    static const std::regex insn(R"(^\s*[0-9a-f]+:\s+(\S+)\s*(.*)$)");
    std::string line;
    while (std::getline(text, line)) {
        std::smatch m;
        if (std::regex_match(line, m, insn)) {
            std::string mnemonic = m[1];
            std::string operands = m[2];
            // Prefixes such as "rep" or "lock" stand before the mnemonic.
            if (mnemonic == "rep" || mnemonic == "lock" || mnemonic == "repz" || mnemonic == "repnz" ||
                mnemonic == "notrack" || mnemonic == "bnd" || mnemonic == "data16" || mnemonic == "cs" ||
                mnemonic == "ds") {
                std::stringstream rest(operands);
                rest >> mnemonic;
                std::getline(rest, operands);
            }
            result.push_back({mnemonic, operands, line});
        }
    }
    return result;
}

TEST(KernelObjects, AreFound) {
    const auto files = ObjectFiles();
    std::set<int> levels;
    for (const std::string& f : files) levels.insert(LevelOf(f));
    EXPECT_EQ(levels, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST(KernelObjects, NoInstructionAboveTheLevelAndNoMmxState) {
    static const std::regex mmxRegister(R"(%mm[0-7]\b)");
    for (const std::string& object : ObjectFiles()) {
        const int level = LevelOf(object);
        const auto instructions = Disassemble(object);
        EXPECT_FALSE(instructions.empty()) << object;
        for (const Instruction& i : instructions) {
            EXPECT_LE(RequiredLevel(i.mnemonic), level) << object << ": " << i.line;
            EXPECT_FALSE(std::regex_search(i.operands, mmxRegister)) << object << ": " << i.line;
        }
    }
}

TEST(KernelObjects, LevelObjectsExportNoVagueLinkageCode) {
    for (const std::string& object : ObjectFiles()) {
        if (LevelOf(object) == 0) continue;
        std::stringstream symbols(RunCommand(std::string(JPEGKERNELS_NM) + " --defined-only '" + object + "'"));
        std::string line;
        while (std::getline(symbols, line)) {
            // "0000000000000000 W name": a weak (inline or template) function.
            // Weak objects (V) are data, such as the sanitizers' type records.
            std::stringstream fields(line);
            std::string address, type, name;
            fields >> address >> type >> name;
            EXPECT_TRUE(type != "W" && type != "w" && type != "i") << object << ": " << line;
        }
    }
}

TEST(KernelObjects, KernelsCallNoLibraryMemoryRoutine) {
    static const std::regex libraryCall(R"(R_X86_64_\w+\s+\w*(memset|memcpy|memmove|bzero)\b)");
    int checked = 0;
    for (const std::string& object : ObjectFiles()) {
        if (object.find("/cpu/") != std::string::npos || object.find("kernel_dispatch") != std::string::npos) continue;
        ++checked;
        const std::string text = RunCommand(std::string(JPEGKERNELS_OBJDUMP) + " -dr '" + object + "'");
        std::smatch m;
        EXPECT_FALSE(std::regex_search(text, m, libraryCall)) << object << ": " << m.str(0);
    }
    // Memory helpers, inverse DCT, Huffman decoding, lossless decoding,
    // colour conversion, forward DCT, Huffman encoding, lossless encoding.
    EXPECT_EQ(checked, 48);
}

}  // namespace
