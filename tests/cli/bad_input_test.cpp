// Packages and folders an unlock or an inspect must refuse: one clear line naming
// the file, the right exit code, and nothing written.
#include "builder/ResourceStore.h"
#include "tests/cli/cli_support.h"

namespace cli_test {
namespace {

struct BadInput {
    const char* what;
    // Turns the good package (locked from "notes.txt" under "pw") into the bad input.
    std::function<void(const std::string& package, const std::string& scratch)> spoil;
    std::vector<std::string> unlockArgs;  // after "unlock PACKAGE"
    int unlockCode;
    const char* messageStart;  // after "cofrex: "; PACKAGE and OUT stand for the paths
    int inspectCode;           // -1: inspect prints the package, exit 3 = unsound
};

std::string Expand(std::string text, const std::string& package, const std::string& out) {
    for (auto [key, value] : {std::pair{std::string("PACKAGE"), package}, {"OUT", out}})
        if (const size_t at = text.find(key); at != std::string::npos)
            text.replace(at, key.size(), value);
    return text;
}

void Truncate(const std::string& package, const std::string&) {
    std::vector<uint8_t> bytes = ReadBytes(Native(package));
    bytes.resize(bytes.size() / 2);
    WriteBytes(Native(package), bytes);
}

const BadInput kBadInputs[] = {
    {"not a program",
     [](const std::string& package, const std::string&) {
         WriteBytes(Native(package), {'h', 'e', 'l', 'l', 'o', '\n'});
     },
     {},
     3,
     "PACKAGE: not a package: ",
     3},
    {"a program without the package resources",
     [](const std::string& package, const std::string&) {
         WriteBytes(Native(package), ReadBytes(COFREX_UNLOCKER_EXE));
     },
     {},
     3,
     "PACKAGE: not a package: no resource ENCRYPTEDFILE",
     3},
    {"truncated", Truncate, {}, 3, "PACKAGE: not a package: ", 3},
    {"stored name with a folder part",
     [](const std::string& package, const std::string&) {
         builder::AddResource(rtl::Utf8Decode(package), true, u"sub/notes.txt", u"FILENAME");
     },
     {},
     3,
     "PACKAGE: This package names its file \"sub/notes.txt\", which is not a plain file name: "
     "nothing was unlocked",
     3},
    {"wrong password",
     [](const std::string&, const std::string&) {},
     {"--password-stdin"},
     1,
     "PACKAGE: Bad password: nothing was unlocked",
     0},
    {"output folder that is a file",
     [](const std::string&, const std::string& scratch) {
         WriteBytes(Native(scratch + "blocker"), {'x'});
     },
     {"-C", "SCRATCH/blocker"},
     3,
     "SCRATCH/blocker/notes.txt: not unlocked: Unable to create the file",
     0},
    {"output folder that does not exist",
     [](const std::string&, const std::string&) {},
     {"-C", "SCRATCH/none"},
     3,
     "SCRATCH/none/notes.txt: not unlocked: Unable to create the file",
     0},
};

class BadUnlock : public CliTest, public testing::WithParamInterface<BadInput> {};

TEST_P(BadUnlock, IsRefusedWithOneLineNamingTheFileAndLeavesNothing) {
    const BadInput& c = GetParam();
    const std::string package = LockFile("notes.txt", Pattern(3000, 4), "pw");
    c.spoil(package, folder8_);
    const std::vector<uint8_t> packageBytes = ReadBytes(Native(package));
    MakeFolder("out");

    std::vector<std::string> args = {"unlock", package};
    bool folderGiven = false;
    for (std::string arg : c.unlockArgs) {
        if (arg.starts_with("SCRATCH/")) arg = Path8(arg.substr(8));
        folderGiven |= arg.starts_with(folder8_);
        args.push_back(arg);
    }
    if (!folderGiven) args.insert(args.end(), {"-C", Path8("out")});
    if (std::find(args.begin(), args.end(), "--password-stdin") == args.end())
        args.push_back("--password-stdin");
    // The wrong password case types another one; the others would be right.
    const std::string password = std::string(c.what) == "wrong password" ? "PW" : "pw";

    EXPECT_EQ(Run(args, {password}), c.unlockCode);
    std::string expected = Expand(c.messageStart, package, Path8("out"));
    if (expected.starts_with("SCRATCH/")) {
        const size_t colon = expected.find(':');
        expected = Path8(expected.substr(8, colon - 8)) + expected.substr(colon);
    }
    EXPECT_TRUE(console_.err.starts_with("cofrex: " + expected)) << console_.err << expected;
    EXPECT_EQ(std::count(console_.err.begin(), console_.err.end(), '\n'), 1) << console_.err;
    EXPECT_EQ(console_.out, "");
    EXPECT_TRUE(Listing(Path8("out")).empty());
    EXPECT_EQ(ReadBytes(Native(package)), packageBytes);

    const int inspected = Run({"inspect", package});
    EXPECT_EQ(inspected, c.inspectCode) << console_.out << console_.err;
    if (c.inspectCode == 3 && console_.err.empty()) {
        EXPECT_NE(console_.out.find("Structure:      unsound: "), std::string::npos)
            << console_.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadUnlock, testing::ValuesIn(kBadInputs), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name;
});

TEST_F(CliTest, LockOfAFileThatDoesNotExistNamesIt) {
    EXPECT_EQ(Run({"lock", Path8("nothing.txt"), "--password-stdin"}, {"pw"}), 3);
    EXPECT_EQ(console_.err, "cofrex: " + Path8("nothing.txt") + ": no such file\n");
    EXPECT_TRUE(Listing(folder8_).empty());
}

}  // namespace
}  // namespace cli_test
