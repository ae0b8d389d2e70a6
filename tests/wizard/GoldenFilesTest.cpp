// The Finish step on real files, compared byte for byte with the expected
// files (CR LF, Windows-1252).

#include "ConfigPaths.h"
#include "Finish.h"
#include "GoldenCases.h"

#include <gtest/gtest.h>

#include <cctype>

namespace calveno::test {
namespace {

namespace fs = std::filesystem;

class GoldenFiles : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {};

TEST_P(GoldenFiles, FinishWritesExpectedBytes)
{
    const auto [index, makeCnf] = GetParam();
    const GoldenCase golden = goldenCases().at(index);
    SCOPED_TRACE(golden.tuvexGolden);

    TempDir tmp;
    const Directories dirs{tmp.subdir("windows").string(), tmp.subdir("program").string()};
    WizardSettings settings = golden.settings();
    settings.MakeCnf = makeCnf ? 1 : 0;
    SystemFileOperations files;
    ScriptedPresenter presenter;

    ASSERT_TRUE(GenerateConfiguration(settings, dirs, files, presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_EQ(readBytes(fs::path(dirs.windowsDirectory) / "tuvex.ini"), test::golden(golden.tuvexGolden));
    const std::string cardManager = makeCnf ? "pelkor.cnf" : "pelkor.ini";
    const std::string other = makeCnf ? "pelkor.ini" : "pelkor.cnf";
    EXPECT_EQ(readBytes(fs::path(dirs.programDirectory) / cardManager),
              test::golden(golden.pelkorGolden + (makeCnf ? ".cnf" : ".ini")));
    EXPECT_FALSE(fs::exists(fs::path(dirs.programDirectory) / other));
}

INSTANTIATE_TEST_SUITE_P(EveryArrangement, GoldenFiles,
                         ::testing::Combine(::testing::Range<std::size_t>(0, goldenCases().size()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             std::string name = goldenCases().at(std::get<0>(info.param)).tuvexGolden;
                             name = name.substr(0, name.size() - 4) +
                                    (std::get<1>(info.param) ? "_cnf" : "_ini");
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace calveno::test
